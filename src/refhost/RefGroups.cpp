#include "refhost/RefGroups.h"

#include <QRegularExpression>

namespace orvo::refhost {

namespace {

// Whether the condition ends its statement: a ';' outside quotes and
// comments would cut the query the condition is put into.
bool endsStatement(const QString& condition)
{
    for (qsizetype i = 0; i < condition.size(); ++i) {
        const QChar c = condition[i];
        QChar close;
        if (c == u'\'' || c == u'"' || c == u'`')
            close = c;
        else if (c == u'[')
            close = u']';
        else if (c == u'-' && condition.mid(i, 2) == QLatin1String("--"))
            close = u'\n';
        else if (c == u'/' && condition.mid(i, 2) == QLatin1String("/*")) {
            const qsizetype end = condition.indexOf(QLatin1String("*/"), i + 2);
            if (end < 0)
                return false;
            i = end + 1;
            continue;
        } else if (c == u';')
            return true;
        if (!close.isNull()) {
            const qsizetype end = condition.indexOf(close, i + 1);
            if (end < 0)
                return false;
            i = end;   // a doubled quote is two quoted runs side by side
        }
    }
    return false;
}

} // namespace

std::shared_ptr<IOrvoGroup> RefGroupList::Item(int32_t index)
{
    if (index < 0 || index >= Count())
        throw HostError(errnum::SubscriptOutOfRange,
                        QStringLiteral("There is no group at position %1 (the list has %2).").arg(index).arg(Count()));
    return groups_[static_cast<size_t>(index)];
}

QString RefGroupQuery::joinConditions()
{
    return QStringLiteral("Partialsinfo.companyid = Asset.companyid AND Partialsinfo.assetid = Asset.ASSETID "
                          "AND Bookparts.companyid = Asset.companyid AND Bookparts.assetid = Asset.ASSETID "
                          "AND Bookparts.sequence = Partialsinfo.SEQUENCE");
}

void RefGroupQuery::SetGroup(std::shared_ptr<IOrvoGroup> group, int32_t, int32_t, int32_t, int32_t)
{
    auto ours = std::dynamic_pointer_cast<RefGroup>(group);
    if (!ours)
        throw HostError(errnum::ObjectRequired, QStringLiteral("SetGroup needs a group of this host."));
    if (endsStatement(ours->condition()))
        throw HostError(errnum::HostFailure,
                        QStringLiteral("The condition of the group \"%1\" holds a ';' that would end the query: %2. "
                                       "Correct the group's condition.")
                            .arg(ours->Name(), ours->condition()));
    condition_ = ours->condition();
}

void RefGroupQuery::Reset()
{
    condition_.clear();
}

QString RefGroupQuery::ApplyGroup(const QString& sql)
{
    QString restriction = joinConditions();
    if (!condition_.isEmpty())
        restriction += QStringLiteral(" AND (%1)").arg(condition_);

    static const QRegularExpression orderBy(QStringLiteral("\\bORDER\\s+BY\\b"),
                                            QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression where(QStringLiteral("\\bWHERE\\b"), QRegularExpression::CaseInsensitiveOption);
    qsizetype cut = sql.size();
    QRegularExpressionMatch last;
    for (auto it = orderBy.globalMatch(sql); it.hasNext();)
        last = it.next();
    if (last.hasMatch())
        cut = last.capturedStart();
    QString head = sql.left(cut);
    const QString tail = sql.mid(cut);
    if (!head.endsWith(QLatin1Char(' ')))
        head += QLatin1Char(' ');
    head += where.match(head).hasMatch() ? QStringLiteral("AND ") : QStringLiteral("WHERE ");
    head += restriction + QLatin1Char(' ');
    if (orderRecordsBySequence_ && !tail.isEmpty())
        return head + tail.trimmed() + QStringLiteral(", Partialsinfo.SEQUENCE");
    return head + tail;
}

} // namespace orvo::refhost
