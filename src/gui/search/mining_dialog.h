// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>

#include "core/search/mining_query.h"

class QButtonGroup;
class QLineEdit;

namespace veyla::gui {

// "知识挖掘": the modeless knowledge-mining dialog. The mode radio buttons
// (1005 "词", 1079 "藏头诗", 1006 "句", 1078 "段----关键词以，隔开") start on
// the stored mode, the book limit (1088 "一本", 1007 "四本", 1008 "十本",
// 1091 "全部") on 一本; 1004 is the keyword edit, 1 "确定" starts, 2 "取消"
// closes. Its controls carry their ids as object names.
class MiningDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kKeywordsId = 1004;
    static constexpr int kOkId = 1;
    static constexpr int kCancelId = 2;
    static constexpr int kModeIds[4] = {1005, 1079, 1006, 1078};
    static constexpr int kBookLimitIds[4] = {1088, 1007, 1008, 1091};

    MiningDialog(search::MiningMode mode, QWidget* parent);

    search::MiningMode mode() const;
    search::BookLimit bookLimit() const;
    QString keywords() const;

signals:
    void startRequested();

private:
    QButtonGroup* m_modes;
    QButtonGroup* m_limits;
    QLineEdit* m_keywords;
};

}  // namespace veyla::gui
