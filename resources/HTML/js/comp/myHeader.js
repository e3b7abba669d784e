// SPDX-License-Identifier: MIT
// The <my-header> component: the site's top menu. It emits handle-select
// with the index of the chosen entry ("home", "index", "back").
(function () {
  if (typeof Vue === 'undefined' || Vue.options.components['my-header'])
    return;
  Vue.component('my-header', {
    template:
      '<el-menu mode="horizontal" class="veyla-header" @select="select">' +
      '<el-menu-item index="home">总书目</el-menu-item>' +
      '<el-menu-item index="index">本书目录</el-menu-item>' +
      '<el-menu-item index="back">返回</el-menu-item>' +
      '</el-menu>',
    methods: {
      select: function (index) { this.$emit('handle-select', index); }
    }
  });
})();
