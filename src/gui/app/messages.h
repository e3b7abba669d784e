// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include "core/util/error_code.h"

namespace veyla::gui {

// What the user was doing when an error came back; some codes read
// differently by operation.
enum class Operation { OpenChapter, AppendToChapter, Rename, Delete, Import, Other };

// The program's fixed message for an error code. Every message box text
// that comes from a core error is chosen here.
QString messageFor(ErrorCode code, Operation operation);

}  // namespace veyla::gui
