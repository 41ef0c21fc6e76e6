#pragma once

// The host object model as the add-in sees it. Every interface derives
// virtually from IOrvoObject so that one host object may implement several
// of them and be "viewed as" another with viewAs<>() (dynamic_pointer_cast).
// Destructors are defined out of line in liborvo_host_api so that the
// type information is shared by the host and every add-in it loads.
//
// Property gets keep the host's names (Name(), CompanyID()); property lets
// are SetXxx(). Collections are enumerated in the host's list order.

#include "host/HostError.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <vector>

namespace orvo {

class IOrvoObject {
public:
    virtual ~IOrvoObject();
};
using ObjectPtr = std::shared_ptr<IOrvoObject>;

// View a host object under another interface; a failed view raises
// HostError (as a failed QueryInterface would). An empty pointer stays empty.
template <class To, class From>
std::shared_ptr<To> viewAs(const std::shared_ptr<From>& object)
{
    if (!object)
        return {};
    auto viewed = std::dynamic_pointer_cast<To>(object);
    if (!viewed)
        throw HostError(errnum::InterfaceNotSupported,
                        QStringLiteral("The object does not support the requested interface."));
    return viewed;
}

template <class T>
using OrvoCollection = std::vector<std::shared_ptr<T>>;

class IOrvoOperation;
class IOrvoMenuItem;
class IOrvoDatabase;
class IOrvoConnection;
class IOrvoGroupManager;
class IOrvoGroupQuery;
class IOrvoGroupList;
class IOrvoCursor;
class IOrvoRowset;
class IOrvoFields;

// ---- host side: the add-in manager and what it can be viewed as ----

class IOrvoAddinManager : public virtual IOrvoObject {
public:
    ~IOrvoAddinManager() override;
    virtual void AddOperation(const QString& name, const QString& verb,
                              std::shared_ptr<IOrvoOperation> operation) = 0;
};

class IOrvoMenuManager : public virtual IOrvoObject {
public:
    ~IOrvoMenuManager() override;
    virtual void AddMenuItem(std::shared_ptr<IOrvoMenuItem> item) = 0;
};

class IOrvoApplication : public virtual IOrvoObject {
public:
    ~IOrvoApplication() override;
    virtual QString HelpFileName() = 0;
    virtual void ShowHelp(int32_t context) = 0;
    virtual QString Title() = 0;
    virtual int32_t ApplicationType() = 0;   // the edition code
    virtual QString ProgramPath() = 0;       // folder, no final separator
};

class IOrvoEnvironment : public virtual IOrvoObject {
public:
    ~IOrvoEnvironment() override;
    virtual QString AvailabilityText() = 0;  // empty disables the menu command
    virtual QString DatabaseName() = 0;      // the database the host uses
};

class IOrvoDatabaseEntry : public virtual IOrvoObject {
public:
    ~IOrvoDatabaseEntry() override;
    virtual QString Name() = 0;
    virtual std::shared_ptr<IOrvoDatabase> Database() = 0;
};

class IOrvoBusinessApp : public virtual IOrvoObject {
public:
    ~IOrvoBusinessApp() override;
    virtual void SetApplicationType(int32_t code) = 0;
    virtual void SetSystemDatabaseName(const QString& name) = 0;
    virtual void SetSystemDatabaseKind(const QString& kind) = 0;
    virtual OrvoCollection<IOrvoDatabaseEntry> Databases() = 0;
    // No object (empty pointer) when the database cannot be opened.
    virtual std::shared_ptr<IOrvoDatabaseEntry> OpenDatabase(const QString& name) = 0;
};

// Optional: a host that names the files it keeps its data in (databases
// and their journals, its settings and lists), so an add-in never writes
// over one of them. A host without it is asked nothing.
class IOrvoHostFiles : public virtual IOrvoObject {
public:
    ~IOrvoHostFiles() override;
    virtual QStringList HostFiles() = 0;
};

class IOrvoGUIObject : public virtual IOrvoObject {
public:
    ~IOrvoGUIObject() override;
    virtual void SetEnabled(bool enabled) = 0;
};

// ---- data objects ----

class IOrvoBook : public virtual IOrvoObject {
public:
    ~IOrvoBook() override;
    virtual int16_t BookID() = 0;
    virtual QString Name() = 0;
    virtual bool IsActive() = 0;
};

class IOrvoCompany : public virtual IOrvoObject {
public:
    ~IOrvoCompany() override;
    virtual QString Name() = 0;
    virtual int16_t CompanyID() = 0;
    virtual bool IsAvailable() = 0;
    virtual bool HasInventory() = 0;
    virtual OrvoCollection<IOrvoBook> Books() = 0;
    // Fails with a description containing "locked" while another user
    // (another process) holds the company.
    virtual bool Open() = 0;
    virtual void Close() = 0;
};

class IOrvoWritableCompany : public virtual IOrvoObject {
public:
    ~IOrvoWritableCompany() override;
    virtual std::shared_ptr<IOrvoGroupManager> GroupManager() = 0;
};

class IOrvoDatabase : public virtual IOrvoObject {
public:
    ~IOrvoDatabase() override;
    virtual std::shared_ptr<IOrvoConnection> Connection() = 0;
    virtual OrvoCollection<IOrvoCompany> Companies() = 0;
};

class IOrvoGroup : public virtual IOrvoObject {
public:
    ~IOrvoGroup() override;
    virtual QString Name() = 0;
};

class IOrvoGroupList : public virtual IOrvoObject {
public:
    ~IOrvoGroupList() override;
    virtual int32_t Count() = 0;
    virtual std::shared_ptr<IOrvoGroup> Item(int32_t index) = 0;   // 0-based
};

class IOrvoGroupQuery : public virtual IOrvoObject {
public:
    ~IOrvoGroupQuery() override;
    // Adds the join conditions and the group's condition to a query text,
    // before any ORDER BY, and returns the text to execute.
    virtual QString ApplyGroup(const QString& sql) = 0;
    virtual void SetGroup(std::shared_ptr<IOrvoGroup> group, int32_t a, int32_t b, int32_t c,
                          int32_t d) = 0;
    virtual void Reset() = 0;
};

class IOrvoGroupManager : public virtual IOrvoObject {
public:
    ~IOrvoGroupManager() override;
    virtual std::shared_ptr<IOrvoGroupList> GroupList() = 0;
    virtual std::shared_ptr<IOrvoGroupQuery> GroupQuery() = 0;
};

class IOrvoFields : public virtual IOrvoObject {
public:
    ~IOrvoFields() override;
    virtual int32_t Count() = 0;
    // The value of a 0-based column of the current row as text, empty for none.
    virtual QString Item(int32_t column) = 0;
    // Same, into a caller's buffer, so a row loop need not allocate per cell.
    virtual void ReadItem(int32_t column, QString& out) { out = Item(column); }
};

class IOrvoRowset : public virtual IOrvoObject {
public:
    ~IOrvoRowset() override;
    virtual bool MoveFirst() = 0;   // true while on a row
    virtual bool MoveNext() = 0;    // true while on a row
    virtual bool IsLastRow() = 0;
    virtual std::shared_ptr<IOrvoFields> Fields() = 0;
};

class IOrvoCursor : public virtual IOrvoObject {
public:
    ~IOrvoCursor() override;
    virtual std::shared_ptr<IOrvoRowset> Rows() = 0;
};

class IOrvoConnection : public virtual IOrvoObject {
public:
    ~IOrvoConnection() override;
    // Streams the rows of a query, fetching batchSize rows at a time. Bad SQL
    // raises HostError with the database's message; an empty pointer means
    // the host could give no cursor.
    virtual std::shared_ptr<IOrvoCursor> OpenCursor(const QString& sql, int32_t batchSize) = 0;
    // The single value of a count query.
    virtual int32_t CountRows(const QString& sql) = 0;
};

// ---- add-in side: what the add-in implements and the host calls ----

class IOrvoAddin : public virtual IOrvoObject {
public:
    ~IOrvoAddin() override;
    virtual void Initialize(ObjectPtr addinManager) = 0;
    virtual QString Name() = 0;
    virtual QString ProgID() = 0;
    virtual bool ApplicationTypeSupported(int32_t appType) = 0;
};

class IOrvoOperation : public virtual IOrvoObject {
public:
    ~IOrvoOperation() override;
    virtual int32_t PerformOperation(const QString& value, ObjectPtr params) = 0;
    virtual void InstalledInto(ObjectPtr addinManager) = 0;
    virtual void Terminate() = 0;
};

class IOrvoMenuItem : public virtual IOrvoObject {
public:
    ~IOrvoMenuItem() override;
    virtual void InstalledInto(ObjectPtr addinManager) = 0;
    virtual int32_t ID() = 0;
    virtual QString Title() = 0;
    virtual QString Placement() = 0;
    virtual QString StatusText() = 0;
    virtual QString Verb() = 0;
    virtual QString Operation() = 0;
    virtual QString Value() = 0;
    virtual int32_t OnClick(const QString& value) = 0;
    virtual void Terminate() = 0;
    virtual int32_t SecurityID() = 0;
    virtual bool AvailableInMode(int32_t mode) = 0;
    virtual bool RequiresCompanyClosed() = 0;
    virtual ObjectPtr GUIObject() = 0;
    virtual void SetGUIObject(ObjectPtr guiObject) = 0;
    virtual bool IsPopup() = 0;
    virtual void UpdateMenuItem() = 0;
};

} // namespace orvo
