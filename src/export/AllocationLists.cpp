#include "export/AllocationLists.h"

#include "host/OrvoInterfaces.h"

#include <algorithm>

namespace expwiz {

namespace {

int16_t toInt16(const QString& text, const char* what)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (!ok)
        throw orvo::HostError(orvo::errnum::TypeMismatch,
                              QStringLiteral("The %1 \"%2\" is not a number.").arg(QLatin1String(what), text));
    if (value < INT16_MIN || value > INT16_MAX)
        throw orvo::HostError(orvo::errnum::Overflow,
                              QStringLiteral("The %1 %2 is outside -32768..32767.").arg(QLatin1String(what), text));
    return static_cast<int16_t>(value);
}

orvo::HostError tooManyLists(int16_t fieldId)
{
    return orvo::HostError(
        orvo::errnum::SubscriptOutOfRange,
        QStringLiteral("The company has more than %1 allocation lists; the list with FieldID %2 and "
                       "the lists after it are not used.")
            .arg(AllocationLists::kSlotCount)
            .arg(fieldId));
}

} // namespace

QString AllocationLists::query(int16_t companyId)
{
    return QStringLiteral("SELECT FieldID, Prompt FROM CustomInfo WHERE ") + QStringLiteral(" CompanyID = ")
        + QString::number(companyId) + QStringLiteral(" AND ListType = 'A' ORDER BY FieldID");
}

QString AllocationLists::columnNames(const QString& prompt)
{
    QString names;
    for (int k = 1; k <= kPairCount; ++k) {
        if (k > 1)
            names += QStringLiteral(", ");
        names += prompt + QStringLiteral("No") + QString::number(k) + QStringLiteral(", ") + prompt
            + QStringLiteral("Pct") + QString::number(k);
    }
    return names;
}

void AllocationLists::clear()
{
    slots_.fill(AllocationList{});
}

std::optional<orvo::HostError> AllocationLists::load(orvo::IOrvoConnection& connection, int16_t companyId)
{
    clear();
    int read = 0;
    std::optional<orvo::HostError> failure;
    try {
        const std::shared_ptr<orvo::IOrvoCursor> cursor = connection.OpenCursor(query(companyId), 100);
        if (!cursor)
            return std::nullopt;
        const std::shared_ptr<orvo::IOrvoRowset> rows = cursor->Rows();
        const std::shared_ptr<orvo::IOrvoFields> fields = rows ? rows->Fields() : nullptr;
        if (!rows || !fields)
            throw orvo::HostError(orvo::errnum::ObjectRequired,
                                  QStringLiteral("The host gave no rows for the allocation lists."));
        for (bool onRow = rows->MoveFirst(); onRow; onRow = rows->MoveNext()) {
            const int16_t fieldId = toInt16(fields->Item(0), "allocation list FieldID");
            if (read == kSlotCount)
                throw tooManyLists(fieldId);
            AllocationList& list = slots_[static_cast<size_t>(read)];
            list.fieldId = fieldId;
            list.prompt = fields->Item(1);
            ++read;
        }
    } catch (const orvo::HostError& e) {
        failure = e;
    }
    return complete(read, std::move(failure));
}

std::optional<orvo::HostError> AllocationLists::assign(const std::vector<std::pair<int16_t, QString>>& lists)
{
    clear();
    int read = 0;
    std::optional<orvo::HostError> failure;
    for (const auto& [fieldId, prompt] : lists) {
        if (read == kSlotCount) {
            failure = tooManyLists(fieldId);
            break;
        }
        slots_[static_cast<size_t>(read)].fieldId = fieldId;
        slots_[static_cast<size_t>(read)].prompt = prompt;
        ++read;
    }
    return complete(read, std::move(failure));
}

// Builds the header names of the lists read; a "G/L" prompt that cannot be
// shortened stops the building, and that list and the ones after it stay
// unusable.
std::optional<orvo::HostError> AllocationLists::complete(int read, std::optional<orvo::HostError> failure)
{
    for (int k = 0; k < read; ++k) {
        AllocationList& list = slots_[static_cast<size_t>(k)];
        if (list.fieldId == 0)
            continue;
        list.slotCount = kPairCount;
        if (list.prompt.contains(QLatin1String("G/L"))) {
            const qsizetype no = list.prompt.indexOf(QLatin1String("No"));
            if (no < 0) {
                if (!failure)
                    failure = orvo::HostError(
                        orvo::errnum::InvalidProcedureCall,
                        QStringLiteral("The allocation list prompt \"%1\" contains \"G/L\" but no \"No\"; "
                                       "it and the lists after it cannot be exported.")
                            .arg(list.prompt));
                break;
            }
            list.prompt = list.prompt.left(no);
        }
        list.columnNames = columnNames(list.prompt);
    }
    return failure;
}

int AllocationLists::usedSlots() const
{
    int n = 0;
    for (const AllocationList& list : slots_)
        if (list.isUsable())
            ++n;
    return n;
}

int AllocationLists::match(const QString& label) const
{
    for (int k = 0; k < kSlotCount; ++k) {
        const AllocationList& list = slots_[static_cast<size_t>(k)];
        if (list.prompt.isEmpty() || (list.fieldId != 0 && !list.isUsable()))
            return -1;
        if (!list.isUsable())
            continue;   // a FieldID of 0 is no list
        const qsizetype n = std::min<qsizetype>({label.size(), list.prompt.size(), 10});
        if (QStringView(label).left(n) == QStringView(list.prompt).left(n))
            return k;
    }
    return -1;
}

} // namespace expwiz
