// SPDX-License-Identifier: MIT
#include "gui/commands/command_router.h"

#include <QAction>

namespace veyla::gui {

CommandRouter::CommandRouter(QObject* parent) : QObject(parent)
{
    for (const auto& command : commandTable()) {
        auto* action = new QAction(command.caption.isEmpty() ? command.toolTip : command.caption, this);
        action->setToolTip(command.toolTip.isEmpty() ? command.caption.trimmed() : command.toolTip);
        action->setCheckable(command.kind == ControlKind::Toggle);
        action->setEnabled(false);
        action->setData(static_cast<int>(command.id));
        const int id = command.id;
        connect(action, &QAction::triggered, this, [this, id] { trigger(id); });
        m_actions[id] = action;
    }
}

QAction* CommandRouter::action(int id) const
{
    const auto found = m_actions.find(id);
    return found == m_actions.end() ? nullptr : found->second;
}

void CommandRouter::bind(int id, Handler handler)
{
    m_handlers[id] = std::move(handler);
    if (QAction* a = action(id))
        a->setEnabled(true);
}

bool CommandRouter::isBound(int id) const
{
    return m_handlers.count(id) != 0;
}

bool CommandRouter::trigger(int id)
{
    const auto handler = m_handlers.find(id);
    if (handler == m_handlers.end())
        return false;
    const CommandSpec* command = findCommandSpec(id);
    if (command != nullptr && command->target == CommandTarget::View && !m_chapterOpen)
        return false;
    handler->second();
    return true;
}

}  // namespace veyla::gui
