// SPDX-License-Identifier: MIT
// The application of every generated page: the font, size, colour and
// line-spacing switches, the chapter menu and its toggle, the read-aloud
// tip, and the colours and size of English words and their glosses. It
// loads the header components next to it when no other script defined
// them, then mounts on #app. Choices are kept in localStorage, so the next
// page opens the same way. Nothing here needs the network.
(function () {
  'use strict';
  if (typeof Vue === 'undefined' || !document.getElementById('app'))
    return;

  var scriptUrl = (document.currentScript && document.currentScript.src) || '';
  var base = scriptUrl.replace(/[^\/]*$/, '');
  var storageKey = 'veyla.page';

  function loadSettings() {
    try {
      return JSON.parse(window.localStorage.getItem(storageKey)) || {};
    } catch (e) {
      return {};
    }
  }
  function saveSettings(settings) {
    try {
      window.localStorage.setItem(storageKey, JSON.stringify(settings));
    } catch (e) {
      // Storage may be off for local files; the choice then lasts for this page.
    }
  }

  function loadComponent(name, file, next) {
    if (Vue.options.components[name]) {
      next();
      return;
    }
    var script = document.createElement('script');
    script.src = base + file;
    script.charset = 'utf-8';
    script.onload = next;
    script.onerror = next;
    document.head.appendChild(script);
  }

  function listOf(getter) {
    try {
      var list = typeof window[getter] === 'function' ? window[getter]() : [];
      return Array.isArray(list) ? list : [];
    } catch (e) {
      return [];
    }
  }

  var defaultFonts = ['宋体', '楷体', '黑体', '仿宋', 'Noto Serif CJK SC', 'Noto Sans CJK SC', 'AR PL UKai CN',
                      'serif', 'sans-serif'];
  var defaultColours = [
    { name: '默认', bg: 'rgb(255,255,255)', textcolor: 'rgb(48,49,51)' },
    { name: '护眼', bg: 'rgb(199,237,204)', textcolor: 'rgb(30,30,30)' },
    { name: '羊皮纸', bg: 'rgb(244,236,216)', textcolor: 'rgb(91,70,54)' },
    { name: '夜间', bg: 'rgb(30,30,30)', textcolor: 'rgb(190,190,190)' }
  ];

  function fontOptions() {
    var seen = {};
    var options = [];
    defaultFonts.concat(listOf('getAllFont')).forEach(function (name) {
      if (typeof name === 'string' && name && !seen[name]) {
        seen[name] = true;
        options.push({ value: name, label: name });
      }
    });
    return options;
  }

  function randomColour() {
    return 'hsl(' + Math.floor(Math.random() * 360) + ',70%,40%)';
  }

  function setVariable(name, value) {
    document.documentElement.style.setProperty(name, value);
  }

  function mount() {
    var saved = loadSettings();
    var colours = defaultColours.concat(listOf('getAllColor'));
    var sizes = [];
    for (var size = 14; size <= 40; size += 2)
      sizes.push({ value: size + 'px', label: size + 'px' });

    var app = new Vue({
      el: '#app',
      data: {
        showTip: !saved.tipClosed,
        isHidden: false,
        activeIndex: '1',
        colorArr: colours,
        options: fontOptions(),
        fontSizeOptions: sizes,
        colorName: saved.colorName || '',
        textColor: saved.textColor || '',
        bgColor: saved.bgColor || '',
        fontName: saved.fontName || '',
        fontSize: saved.fontSize || '',
        lineArr: [{ value: 'none', label: '无行线' }, { value: 'line', label: '行线' }],
        lineUrl: saved.lineUrl || 'line',
        lineHeight: saved.lineHeight || 56,
        foolcolorVar: 'transparent',
        scrollcolorVar: '#c0c4cc',
        scrollHiddenVar: '10px',
        linkFontSizeVar: '18px',
        engColor: saved.engColor || '#1f6fb2',
        noteColor: saved.noteColor || '#c0392b',
        noteSize: saved.noteSize || 14
      },
      mounted: function () {
        this.applyAll();
      },
      methods: {
        remember: function (key, value) {
          saved[key] = value;
          saveSettings(saved);
        },
        applyAll: function () {
          this.applyFont();
          this.applyColours();
          this.applyLines();
          setVariable('--engColor', this.engColor);
          setVariable('--noteColor', this.noteColor);
          setVariable('--noteSize', this.noteSize + 'px');
        },
        applyFont: function () {
          if (this.fontName)
            document.body.style.fontFamily = '"' + this.fontName.replace(/"/g, '') + '", serif';
          if (this.fontSize) {
            document.body.style.fontSize = this.fontSize;
            this.linkFontSizeVar = this.fontSize;
          }
        },
        applyColours: function () {
          if (this.textColor)
            setVariable('--pageText', this.textColor);
          if (this.bgColor) {
            setVariable('--pageBg', this.bgColor);
            this.foolcolorVar = this.bgColor;
          }
        },
        applyLines: function () {
          setVariable('--lineHeight', this.lineHeight + 'px');
          var paragraphs = document.querySelectorAll('#mainContent p');
          for (var i = 0; i < paragraphs.length; ++i) {
            // Without the publisher's line picture the paragraphs go plain.
            if (this.lineUrl === 'none')
              paragraphs[i].style.backgroundImage = 'none';
            else
              paragraphs[i].style.backgroundImage = '';
            paragraphs[i].style.lineHeight = this.lineHeight + 'px';
            paragraphs[i].style.backgroundSize = 'auto ' + this.lineHeight + 'px';
          }
        },
        myHandleSelect: function (index) {
          if (index === 'home')
            window.location.href = base + '../总书目.html';
          else if (index === 'index')
            window.location.href = '目录.html';
          else if (index === 'back')
            window.history.back();
        },
        selectOne: function (name) {
          this.fontName = name;
          this.remember('fontName', name);
          this.applyFont();
        },
        selectFontSize: function (size) {
          this.fontSize = size;
          this.remember('fontSize', size);
          this.applyFont();
        },
        useScheme: function (scheme) {
          if (!scheme)
            return;
          this.colorName = scheme.name;
          this.textColor = scheme.textcolor;
          this.bgColor = scheme.bg;
          this.remember('colorName', scheme.name);
          this.remember('textColor', scheme.textcolor);
          this.remember('bgColor', scheme.bg);
          this.applyColours();
        },
        selectColorName: function (name) {
          this.useScheme(this.colorArr.filter(function (c) { return c.name === name; })[0]);
        },
        colorBtn: function () {
          var names = this.colorArr.map(function (c) { return c.name; });
          var next = (names.indexOf(this.colorName) + 1) % this.colorArr.length;
          this.useScheme(this.colorArr[next]);
        },
        colorPicText: function (colour) {
          this.textColor = colour || '';
          this.remember('textColor', this.textColor);
          this.applyColours();
        },
        colorPicBg: function (colour) {
          this.bgColor = colour || '';
          this.remember('bgColor', this.bgColor);
          this.applyColours();
        },
        selectLine: function (value) {
          this.lineUrl = value;
          this.remember('lineUrl', value);
          this.applyLines();
        },
        incLineHeight: function () {
          this.lineHeight = Math.min(120, this.lineHeight + 4);
          this.remember('lineHeight', this.lineHeight);
          this.applyLines();
        },
        decLineHeight: function () {
          this.lineHeight = Math.max(20, this.lineHeight - 4);
          this.remember('lineHeight', this.lineHeight);
          this.applyLines();
        },
        closeTip: function () {
          this.showTip = false;
          this.remember('tipClosed', true);
        },
        handleSelect: function (index) {
          this.activeIndex = index;
          var anchor = document.getElementById('sec' + index);
          if (anchor)
            anchor.scrollIntoView();
        },
        toggleNav: function () {
          this.isHidden = !this.isHidden;
        },
        randWordColor: function () {
          var words = document.querySelectorAll('strong[data-explanation]');
          for (var i = 0; i < words.length; ++i)
            words[i].style.color = randomColour();
        },
        randNoteColor: function () {
          this.setNoteColor(randomColour());
        },
        setEngColor: function (colour) {
          this.engColor = colour || '#1f6fb2';
          var words = document.querySelectorAll('strong[data-explanation]');
          for (var i = 0; i < words.length; ++i)
            words[i].style.color = '';
          setVariable('--engColor', this.engColor);
          this.remember('engColor', this.engColor);
        },
        setNoteColor: function (colour) {
          this.noteColor = colour || '#c0392b';
          setVariable('--noteColor', this.noteColor);
          this.remember('noteColor', this.noteColor);
        },
        incNoteHeight: function () {
          this.noteSize = Math.min(40, this.noteSize + 2);
          setVariable('--noteSize', this.noteSize + 'px');
          this.remember('noteSize', this.noteSize);
        },
        decNoteHeight: function () {
          this.noteSize = Math.max(8, this.noteSize - 2);
          setVariable('--noteSize', this.noteSize + 'px');
          this.remember('noteSize', this.noteSize);
        }
      }
    });
    window.veylaApp = app;
  }

  loadComponent('my-header', 'comp/myHeader.js', function () {
    loadComponent('header-btns', 'comp/comp_headBtns.js', mount);
  });
})();
