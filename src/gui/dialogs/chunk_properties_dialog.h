// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>

#include "core/library/chunk_kind.h"

class QLabel;
class QSpinBox;

namespace veyla::gui {

// The properties of the chunk under the caret: its kind by name and its
// size, which only an image's chunk lets the user change.
class ChunkPropertiesDialog : public QDialog {
    Q_OBJECT
public:
    ChunkPropertiesDialog(library::ChunkKind kind, int size, QWidget* parent = nullptr);

    QString kindText() const;
    QSpinBox& sizeField() { return *m_size; }
    int size() const;

private:
    QLabel* m_kind;
    QSpinBox* m_size;
};

}  // namespace veyla::gui
