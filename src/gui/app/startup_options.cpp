// SPDX-License-Identifier: MIT
#include "gui/app/startup_options.h"

namespace veyla::gui {

using namespace Qt::StringLiterals;

StartupOptions StartupOptions::parse(const QStringList& arguments)
{
    StartupOptions options;
    bool onlyFiles = false;  // after "--" every argument is a file
    for (int i = 1; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        if (onlyFiles || !arg.startsWith(u'-')) {
            options.files << arg;
            continue;
        }
        auto value = [&](QString& target) {
            if (i + 1 >= arguments.size()) {
                options.error = arg + u" needs a value"_s;
                return;
            }
            target = arguments[++i];
        };
        if (arg == u"--data"_s) {
            QString folder;
            value(folder);
            options.dataFolder = folder;
        } else if (arg == u"--screenshot"_s) {
            value(options.screenshot);
        } else if (arg == u"--select"_s) {
            value(options.select);
        } else if (arg == u"--command"_s) {
            QString id;
            value(id);
            bool number = false;
            const int command = id.toInt(&number);
            if (number)
                options.commands << command;
            else if (options.error.isEmpty())
                options.error = u"--command needs a command id, not "_s + id;
        } else if (arg == u"--demo"_s) {
            options.demo = Demo::Make;
        } else if (arg == u"--report-first-paint"_s) {
            options.reportFirstPaint = true;
        } else if (arg == u"--no-demo"_s) {
            options.demo = Demo::Skip;
        } else if (arg == u"--"_s) {
            onlyFiles = true;
        } else {
            options.error = u"unknown option "_s + arg;
        }
        if (!options.error.isEmpty())
            break;
    }
    return options;
}

QString StartupOptions::usage()
{
    return u"usage: veyla [--data DIR] [--demo | --no-demo] [--screenshot FILE.png [--select CHAPTER] [--command ID]...] [--report-first-paint] [FILE...]\n"_s;
}

}  // namespace veyla::gui
