#pragma once

#include <QHash>
#include <QString>
#include <functional>

class ChildScreen;
class HerbdeskFrm;
class Store;

// Which working screens exist and how to make them, by the screen's name ("jinhuodjfrm").
// Each subsystem registers its own screens; the main window opens them by name. Menu items that
// open no screen ("备份数据") are commands, registered the same way and run with the main window.
class ScreenRegistry
{
public:
    using Factory = std::function<ChildScreen *(Store &)>;
    using Command = std::function<void(HerbdeskFrm &)>;

    void add(const QString &name, Factory factory) { m_factories.insert(name, std::move(factory)); }
    bool contains(const QString &name) const { return m_factories.contains(name); }
    ChildScreen *create(const QString &name, Store &store) const
    {
        const auto found = m_factories.constFind(name);
        return found == m_factories.constEnd() ? nullptr : (*found)(store);
    }

    void addCommand(const QString &name, Command command)
    {
        m_commands.insert(name, std::move(command));
    }
    bool hasCommand(const QString &name) const { return m_commands.contains(name); }
    // Does nothing when no such command is registered.
    void runCommand(const QString &name, HerbdeskFrm &mainWindow) const
    {
        if (const auto found = m_commands.constFind(name); found != m_commands.constEnd())
            (*found)(mainWindow);
    }

private:
    QHash<QString, Factory> m_factories;
    QHash<QString, Command> m_commands;
};
