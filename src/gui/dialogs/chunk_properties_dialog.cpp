// SPDX-License-Identifier: MIT
#include "gui/dialogs/chunk_properties_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QSpinBox>

namespace veyla::gui {

using namespace Qt::StringLiterals;

namespace {
constexpr int kLargestChunkSize = 10000;
}

ChunkPropertiesDialog::ChunkPropertiesDialog(library::ChunkKind kind, int size, QWidget* parent)
    : QDialog(parent), m_kind(new QLabel(QString::fromStdU16String(std::u16string(library::chunkKindName(kind))), this)),
      m_size(new QSpinBox(this))
{
    setWindowTitle(u"数据块属性"_s);
    m_size->setRange(0, kLargestChunkSize);
    m_size->setValue(size);
    m_size->setEnabled(library::chunkSizeEditable(kind));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QFormLayout(this);
    layout->addRow(u"类型："_s, m_kind);
    layout->addRow(u"大小："_s, m_size);
    layout->addRow(buttons);
}

QString ChunkPropertiesDialog::kindText() const
{
    return m_kind->text();
}

int ChunkPropertiesDialog::size() const
{
    return m_size->value();
}

}  // namespace veyla::gui
