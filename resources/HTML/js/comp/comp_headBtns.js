// SPDX-License-Identifier: MIT
// The <header-btns> component: font, size, colour and line-spacing
// switches. It only shows the values it is given and emits what the reader
// chose; the page application (myVueCode.js) applies them.
(function () {
  if (typeof Vue === 'undefined' || Vue.options.components['header-btns'])
    return;
  Vue.component('header-btns', {
    props: {
      colorArr: { type: Array, default: function () { return []; } },
      optionsArr: { type: Array, default: function () { return []; } },
      fontSizeOptionsArr: { type: Array, default: function () { return []; } },
      lineOptionsArr: { type: Array, default: null },
      colorName: String, textColor: String, bgColor: String,
      fontName: String, fontSize: [String, Number], lineUrl: String
    },
    template:
      '<div class="veyla-header-btns">' +
      '<el-select class="veyla-font" :value="fontName" size="small" placeholder="字体" @change="$emit(\'select-one\', $event)">' +
      '<el-option v-for="item in optionsArr" :key="item.value" :label="item.label" :value="item.value"></el-option>' +
      '</el-select>' +
      '<el-select class="veyla-small veyla-size" :value="fontSize" size="small" placeholder="字号" @change="$emit(\'select-font-size\', $event)">' +
      '<el-option v-for="item in fontSizeOptionsArr" :key="item.value" :label="item.label" :value="item.value"></el-option>' +
      '</el-select>' +
      '<el-select class="veyla-scheme" :value="colorName" size="small" placeholder="配色" @change="$emit(\'select-color-name\', $event)">' +
      '<el-option v-for="item in colorArr" :key="item.name" :label="item.name" :value="item.name"></el-option>' +
      '</el-select>' +
      '<el-button size="small" @click="$emit(\'color-btn\')">换配色</el-button>' +
      '<span>文字</span><el-color-picker size="small" :value="textColor" @change="$emit(\'el_color-pic_change_text\', $event)"></el-color-picker>' +
      '<span>背景</span><el-color-picker size="small" :value="bgColor" @change="$emit(\'el_color-pic_change_bg\', $event)"></el-color-picker>' +
      '<template v-if="lineOptionsArr">' +
      '<el-select class="veyla-small veyla-line" :value="lineUrl" size="small" placeholder="行线" @change="$emit(\'select-line\', $event)">' +
      '<el-option v-for="item in lineOptionsArr" :key="item.value" :label="item.label" :value="item.value"></el-option>' +
      '</el-select>' +
      '<el-button size="small" @click="$emit(\'inc-line-height\')">行距+</el-button>' +
      '<el-button size="small" @click="$emit(\'dec-line-height\')">行距-</el-button>' +
      '</template>' +
      '</div>'
  });
})();
