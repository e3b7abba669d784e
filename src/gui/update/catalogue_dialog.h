// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>

#include <vector>

class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;

namespace veyla::gui {

// "书海拾遗": the modeless download catalogue. The list (1000) shows the
// packages, "下载" (1001) asks for the selected row, "检查更新" (1002) asks
// for the list again, the label (1003, "更新进度条：" at first) and the bar
// (1004) show a download's progress, "关闭" hides the window. Controls
// carry their ids as object names. The controller does the work.
class CatalogueDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kListId = 1000;
    static constexpr int kDownloadId = 1001;
    static constexpr int kRefreshId = 1002;
    static constexpr int kLabelId = 1003;
    static constexpr int kBarId = 1004;

    explicit CatalogueDialog(QWidget* parent);

    // The rows: the first is the network-drive entry (or the one "nothing
    // listed" row when first is false and rows has one element).
    void setRows(const std::vector<QString>& rows, bool hasPackages);
    QStringList rows() const;
    int selectedRow() const;
    void selectRow(int row);
    void setProgress(const QString& text, int percent);
    QString progressText() const;
    int progressPercent() const;
    // Downloads and refreshes are refused while one runs.
    void setBusy(bool busy);

signals:
    void downloadRequested(int row);
    void refreshRequested();

private:
    QListWidget* m_list;
    QPushButton* m_download;
    QPushButton* m_refresh;
    QLabel* m_label;
    QProgressBar* m_bar;
};

}  // namespace veyla::gui
