// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QRadioButton;

namespace veyla::gui {

// "查找": the modeless name-search dialog of the tree pane, made once and
// shown again. Its controls carry their ids as object names.
class FindDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kTextId = 1020;          // edit, label "搜索："
    static constexpr int kExpandedOnlyId = 1005;  // "只搜索展开的节点"
    static constexpr int kAllNodesId = 1006;      // "搜索全部节点"
    static constexpr int kBackwardId = 1;         // "上一个"
    static constexpr int kForwardId = 2;          // "下一个"
    static constexpr int kStatusId = 1117;        // status label

    FindDialog(bool allNodes, QWidget* parent);

    QString text() const;
    bool allNodes() const;
    void setStatus(const QString& text);
    QString status() const;

signals:
    // A button was pressed: 下一个 searches forwards, 上一个 backwards.
    void searchRequested(bool forward);

private:
    QLineEdit* m_text;
    QRadioButton* m_expandedOnly;
    QRadioButton* m_allNodes;
    QLabel* m_status;
};

}  // namespace veyla::gui
