// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>
#include <QStringList>

#include <array>

class QLineEdit;
class QPushButton;

namespace veyla::gui {

// "标注": twenty category buttons that file the selected text as an excerpt
// under their category, a button that clears the annotations, and one that
// edits the category names. It stays open beside the view (modeless).
class AnnotationDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kCategories = 20;

    explicit AnnotationDialog(QWidget* parent = nullptr);
    void setNames(const QStringList& names);
    QPushButton& categoryButton(int index) const { return *m_buttons[static_cast<std::size_t>(index)]; }

signals:
    void categoryChosen(int index);
    void clearRequested();
    void renameRequested();

private:
    std::array<QPushButton*, kCategories> m_buttons{};
};

// "标注类别修改": the twenty category names, one edit field each.
class CategoryNamesDialog : public QDialog {
    Q_OBJECT
public:
    CategoryNamesDialog(const QStringList& names, QWidget* parent = nullptr);
    QStringList names() const;
    QLineEdit& field(int index) const { return *m_fields[static_cast<std::size_t>(index)]; }

private:
    std::array<QLineEdit*, AnnotationDialog::kCategories> m_fields{};
};

// "配色": the twenty annotation styles as pattern tiles; choosing one closes it.
class AnnotationStyleDialog : public QDialog {
    Q_OBJECT
public:
    // tiles: the pictures of styles 1…20.
    AnnotationStyleDialog(const QList<QImage>& tiles, QWidget* parent = nullptr);
    // The index (0…19) chosen, -1 when none was.
    int chosen() const { return m_chosen; }

private:
    int m_chosen = -1;
};

}  // namespace veyla::gui
