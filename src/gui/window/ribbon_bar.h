// SPDX-License-Identifier: MIT
#pragma once

#include <QTabWidget>

#include <map>
#include <vector>

class QGridLayout;
class QHBoxLayout;

namespace veyla::gui {

class CommandRouter;

// A group of controls on a ribbon page, captioned underneath.
class RibbonGroup : public QWidget {
    Q_OBJECT
public:
    RibbonGroup(const QString& caption, QWidget* parent);
    // Places a control in the next cell: three rows, then a new column.
    void addControl(QWidget* control);

private:
    QGridLayout* m_grid;
    int m_count = 0;
};

// The ribbon: tabs of groups built from the command table. Buttons show
// their command's action; combos, number fields, colour buttons and labels
// are made here and filled by their owners through control().
class RibbonBar : public QTabWidget {
    Q_OBJECT
public:
    RibbonBar(CommandRouter& router, QWidget* parent = nullptr);

    // The widget showing a command (a QToolButton, QComboBox, QSpinBox or QLabel).
    QWidget* control(int id) const;
    template <typename T>
    T* control(int id) const
    {
        return qobject_cast<T*>(control(id));
    }

protected:
    void changeEvent(QEvent* event) override;

private:
    void tintIcons();
    RibbonGroup* group(const QString& tab, const QString& caption);
    QWidget* makeControl(const struct CommandSpec& entry);

    CommandRouter& m_router;
    std::map<QString, QHBoxLayout*> m_pages;
    std::map<QString, RibbonGroup*> m_groups;
    std::map<int, QWidget*> m_controls;
    struct TintedButton {
        int id;
        QString tab;
        qint64 iconKey;  // the cache key of the icon set last; 0 before
    };
    std::vector<TintedButton> m_tinted;
};

}  // namespace veyla::gui
