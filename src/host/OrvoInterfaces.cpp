#include "host/OrvoInterfaces.h"
#include "host/OrvoClassServer.h"

namespace orvo {

IOrvoObject::~IOrvoObject() = default;
IOrvoAddinManager::~IOrvoAddinManager() = default;
IOrvoMenuManager::~IOrvoMenuManager() = default;
IOrvoApplication::~IOrvoApplication() = default;
IOrvoEnvironment::~IOrvoEnvironment() = default;
IOrvoDatabaseEntry::~IOrvoDatabaseEntry() = default;
IOrvoBusinessApp::~IOrvoBusinessApp() = default;
IOrvoGUIObject::~IOrvoGUIObject() = default;
IOrvoHostFiles::~IOrvoHostFiles() = default;
IOrvoBook::~IOrvoBook() = default;
IOrvoCompany::~IOrvoCompany() = default;
IOrvoWritableCompany::~IOrvoWritableCompany() = default;
IOrvoDatabase::~IOrvoDatabase() = default;
IOrvoGroup::~IOrvoGroup() = default;
IOrvoGroupList::~IOrvoGroupList() = default;
IOrvoGroupQuery::~IOrvoGroupQuery() = default;
IOrvoGroupManager::~IOrvoGroupManager() = default;
IOrvoFields::~IOrvoFields() = default;
IOrvoRowset::~IOrvoRowset() = default;
IOrvoCursor::~IOrvoCursor() = default;
IOrvoConnection::~IOrvoConnection() = default;
IOrvoAddin::~IOrvoAddin() = default;
IOrvoOperation::~IOrvoOperation() = default;
IOrvoMenuItem::~IOrvoMenuItem() = default;
IOrvoAddinRegistry::~IOrvoAddinRegistry() = default;
IOrvoClassServer::~IOrvoClassServer() = default;

} // namespace orvo
