#pragma once

// The boundary between the host and an add-in library. An add-in is a Qt
// plugin whose root object implements IOrvoClassServer: it creates the
// library's public classes by ProgID and says when it may be unloaded.
// The host keeps its list of add-ins (ProgID -> library path) behind
// IOrvoAddinRegistry, which the library's register functions edit.

#include "host/OrvoInterfaces.h"

#include <QString>
#include <QStringList>
#include <QtPlugin>

namespace orvo {

class IOrvoAddinRegistry {
public:
    virtual ~IOrvoAddinRegistry();
    virtual void Register(const QString& progId, const QString& libraryPath) = 0;
    virtual void Unregister(const QString& progId) = 0;
};

class IOrvoClassServer {
public:
    virtual ~IOrvoClassServer();
    // The ProgIDs of the classes this library creates.
    virtual QStringList progIds() const = 0;
    // A new object of a public class; empty for an unknown ProgID.
    virtual ObjectPtr createInstance(const QString& progId) = 0;
    // True while no object created by this library is alive.
    virtual bool canUnloadNow() const = 0;
    // Adds the library's creatable add-in class to the host's add-in list,
    // or takes it out again. libraryPath is where the host found the library.
    virtual void registerServer(IOrvoAddinRegistry& registry, const QString& libraryPath) = 0;
    virtual void unregisterServer(IOrvoAddinRegistry& registry) = 0;
};

} // namespace orvo

#define OrvoClassServer_iid "org.orvo.IOrvoClassServer/1.0"
Q_DECLARE_INTERFACE(orvo::IOrvoClassServer, OrvoClassServer_iid)
