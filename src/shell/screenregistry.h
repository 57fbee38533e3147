#pragma once

#include <QHash>
#include <QString>
#include <functional>

class ChildScreen;
class Store;

// Which working screens exist and how to make them, by the screen's name ("jinhuodjfrm").
// Each subsystem registers its own screens; the main window opens them by name.
class ScreenRegistry
{
public:
    using Factory = std::function<ChildScreen *(Store &)>;

    void add(const QString &name, Factory factory) { m_factories.insert(name, std::move(factory)); }
    bool contains(const QString &name) const { return m_factories.contains(name); }
    ChildScreen *create(const QString &name, Store &store) const
    {
        const auto found = m_factories.constFind(name);
        return found == m_factories.constEnd() ? nullptr : (*found)(store);
    }

private:
    QHash<QString, Factory> m_factories;
};
