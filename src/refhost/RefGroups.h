#pragma once

#include "host/OrvoInterfaces.h"

#include <memory>
#include <vector>

namespace orvo::refhost {

class RefGroup : public IOrvoGroup {
public:
    RefGroup(QString name, QString condition) : name_(std::move(name)), condition_(std::move(condition)) {}
    QString Name() override { return name_; }
    // A condition on the Asset table; empty for the group of all assets.
    const QString& condition() const { return condition_; }

private:
    QString name_;
    QString condition_;
};

class RefGroupList : public IOrvoGroupList {
public:
    explicit RefGroupList(std::vector<std::shared_ptr<RefGroup>> groups) : groups_(std::move(groups)) {}
    int32_t Count() override { return static_cast<int32_t>(groups_.size()); }
    std::shared_ptr<IOrvoGroup> Item(int32_t index) override;

private:
    std::vector<std::shared_ptr<RefGroup>> groups_;
};

// Restricts a query over Asset, Partialsinfo and Bookparts to one asset
// record per row and to the chosen group. The conditions go before any
// ORDER BY, so a count text and a data text are restricted alike.
class RefGroupQuery : public IOrvoGroupQuery {
public:
    // A backend whose plans do not keep the records of one asset in their
    // stored order asks for them by sequence, so every backend writes the
    // same file.
    explicit RefGroupQuery(bool orderRecordsBySequence = false) : orderRecordsBySequence_(orderRecordsBySequence) {}
    QString ApplyGroup(const QString& sql) override;
    void SetGroup(std::shared_ptr<IOrvoGroup> group, int32_t a, int32_t b, int32_t c, int32_t d) override;
    void Reset() override;

    static QString joinConditions();

private:
    QString condition_;
    bool orderRecordsBySequence_;
};

class RefGroupManager : public IOrvoGroupManager {
public:
    explicit RefGroupManager(std::shared_ptr<RefGroupList> list, bool orderRecordsBySequence = false)
        : list_(std::move(list)), orderRecordsBySequence_(orderRecordsBySequence)
    {
    }
    std::shared_ptr<IOrvoGroupList> GroupList() override { return list_; }
    std::shared_ptr<IOrvoGroupQuery> GroupQuery() override
    {
        return std::make_shared<RefGroupQuery>(orderRecordsBySequence_);
    }

private:
    std::shared_ptr<RefGroupList> list_;
    bool orderRecordsBySequence_;
};

} // namespace orvo::refhost
