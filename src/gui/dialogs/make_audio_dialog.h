// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>
#include <QStringList>

#include <filesystem>
#include <functional>
#include <string>

class QComboBox;

class QLabel;
class QPushButton;

namespace veyla::gui {

// The audio formats offered wherever one is chosen, in this order: their
// labels, and the names the settings store ("wav", "opus", "m4b").
QStringList audioFormatLabels();
std::u16string audioFormatNameAt(int index);
// The place of a stored name among them; 0 (WAV) for anything else.
int audioFormatIndexOf(const std::u16string& name);

// "音频生成": the modeless progress window of audio rendering. It shows the
// latest message (the chapter being rendered, then the outcome), stops the
// rendering with "停止生成" and opens the folder of the last chapter's audio
// with "打开音频路径". Closing it only hides it. Its "格式" chooses what the
// renderings make (WAV, Ogg Opus, or an M4B book with chapter marks);
// "按此格式生成" renders the last chapters again in the format chosen.
class MakeAudioDialog : public QDialog {
    Q_OBJECT
public:
    explicit MakeAudioDialog(std::filesystem::path audioRoot, QWidget* parent = nullptr);

    // A rendering begins: the stop button works again and no folder is known yet.
    void begin();
    // The latest progress message; a non-empty folder becomes the one "打开音频路径" opens.
    void showProgress(const QString& text, const std::filesystem::path& folder, std::size_t index, std::size_t total);
    // The rendering is over: text is its outcome and summary.
    void finish(const QString& text);

    QString message() const;
    // The index of "格式": 0 WAV, 1 Opus, 2 M4B.
    int formatIndex() const;
    void setFormatIndex(int index);
    // The folder "打开音频路径" opens: the last chapter's audio folder, else the audio root.
    std::filesystem::path folderToOpen() const;

    // How a folder is opened; tests replace it.
    using FolderOpener = std::function<void(const std::filesystem::path&)>;
    void setFolderOpener(FolderOpener opener) { m_openFolder = std::move(opener); }

signals:
    void stopRequested();
    // The user chose another format.
    void formatChosen(int index);
    void renderAgainRequested();

private:
    void stopClicked();

    const std::filesystem::path m_audioRoot;
    std::filesystem::path m_lastFolder;
    FolderOpener m_openFolder;
    QLabel* m_message;
    QLabel* m_count;
    QPushButton* m_stop;
    QPushButton* m_open;
    QComboBox* m_format;
    QPushButton* m_again;
    bool m_stopping = false;  // the stopping message stays until the outcome
};

}  // namespace veyla::gui
