#include "db/WorkTable.h"

#include <QRegularExpression>
#include <unistd.h>

#include <algorithm>

#include "db/Interrupt.h"

namespace db {

namespace {

constexpr int kMaxAttachmentDigits = 12;

// The program's file name without its folder and ".exe", lower case.
QString ProgramName(const QString& path) {
    QString name = path.section(QRegularExpression(QStringLiteral("[/\\\\]")), -1).trimmed().toLower();
    if (name.endsWith(QLatin1String(".exe"))) name.chop(4);
    return name;
}

}  // namespace

QString MakeWorkTableName(const QTime& created, qint64 attachment) {
    const QString number = QString::number(attachment);
    if (attachment < 0 || number.size() > kMaxAttachmentDigits)
        throw DbError("attachment number " + number.toStdString() + " does not fit in a work table name");
    return QStringLiteral("TMP_BILLID") + created.toString("HHmmss") + QStringLiteral("_AT") + number;
}

WorkTableOwner WorkTableOwnerOf(const QString& name) {
    static const QRegularExpression current(QStringLiteral("^TMP_BILLID\\d{6}_AT(\\d{1,%1})$").arg(kMaxAttachmentDigits));
    static const QRegularExpression earlier(QStringLiteral("^TMP_BILLID\\d{6}_[0-9A-F]{8}$"));
    if (const QRegularExpressionMatch m = current.match(name); m.hasMatch())
        return {WorkTableOwner::Kind::Attachment, m.captured(1).toLongLong()};
    if (earlier.match(name).hasMatch()) return {WorkTableOwner::Kind::Unattributed, 0};
    return {};
}

bool TableCatalogue::TableIsMissing(const QString& name) {
    query_.Close();
    query_.SetSQL({"SELECT * FROM RDB$Relations ", " WHERE RDB$RELATION_NAME = :NAME"});
    query_.SetParam("NAME", name.toUpper());
    query_.Open();
    return query_.FieldByName("RDB$RELATION_NAME").IsNull();
}

QStringList TableCatalogue::WorkTableCandidates() {
    query_.Close();
    query_.SetSQL({"SELECT RDB$RELATION_NAME FROM RDB$RELATIONS",
                   " WHERE RDB$RELATION_NAME STARTING WITH 'TMP_BILLID' AND RDB$VIEW_BLR IS NULL",
                   "   AND COALESCE(RDB$SYSTEM_FLAG, 0) = 0 AND RDB$OWNER_NAME = CURRENT_USER"});
    query_.Open();
    QStringList names;
    for (; !query_.Eof(); query_.Next()) names << query_.Fields(0).AsString().trimmed();
    query_.Close();
    return names;
}

TableCatalogue::Attachments TableCatalogue::OpenAttachments(const std::vector<qint64>& ownAttachments) {
    // A statement of its own is a transaction of its own, and so a fresh snapshot of the
    // monitoring tables.
    query_.Close();
    query_.SetSQL({"SELECT MON$ATTACHMENT_ID, IIF(MON$ATTACHMENT_ID = CURRENT_CONNECTION, 1, 0) AS OWN,",
                   "       MON$SYSTEM_FLAG, MON$REMOTE_PROTOCOL, MON$REMOTE_PROCESS, MON$SERVER_PID",
                   "  FROM MON$ATTACHMENTS"});
    query_.Open();
    Attachments out;
    const qint64 pid = getpid();
    for (; !query_.Eof(); query_.Next()) {
        const qint64 id = query_.Fields(0).AsVariant().toLongLong();
        out.ids.push_back(id);
        const bool own = query_.Fields(1).AsInteger() == 1 ||
                         std::find(ownAttachments.begin(), ownAttachments.end(), id) != ownAttachments.end();
        if (own || query_.Fields(2).AsInteger() != 0) continue;
        const bool embedded = query_.Fields(3).IsNull();
        if (embedded ? query_.Fields(5).AsVariant().toLongLong() != pid
                     : ProgramName(query_.Fields(4).AsString()) == QLatin1String("marlith"))
            out.anotherCopy = true;
    }
    query_.Close();
    return out;
}

void WorkTable::CreateIfMissing(TableCatalogue& catalogue) {
    if (!catalogue.TableIsMissing(name_)) return;
    Query q(connection_);
    q.SetSQL({"create table " + name_ + "( ", " masterbillid varchar(20), ", " proj_id varchar(20) ) "});
    q.Execute();
    // The bill-of-materials query tests every order of the project against the table
    // (masterbillid in (select ...)); without an index each test reads the whole table,
    // which on a long order list costs more than the rest of the query. The index takes
    // the table's own name (indexes are named apart from tables, and the table's name is
    // already unique and within the length limit) and goes when the table is dropped.
    // Without it the query is only slower: a refusal (an index of that name made by hand)
    // does not stop the run.
    Query index(connection_);
    index.SetSQL({"create index " + name_ + " on " + name_ + " (masterbillid)"});
    try {
        index.Execute();
    } catch (const DbError&) {
    }
}

void WorkTable::Empty() {
    Query q(connection_);
    q.SetSQL({"delete from " + name_});
    q.Execute();
}

void WorkTable::Fill(const std::vector<std::pair<QString, QString>>& rows) {
    Query q(connection_);
    q.SetSQL({"insert into " + name_ + "(masterbillid,proj_id) values (:masterbillid, :proj_id)"});
    for (const auto& [bill, project] : rows) {
        q.SetParam("masterbillid", bill);
        q.SetParam("proj_id", project);
        q.Execute();
    }
}

void WorkTable::DropIfExists(TableCatalogue& catalogue) {
    if (catalogue.TableIsMissing(name_)) return;
    connection_.FreeStatements();
    Query q(connection_);
    q.SetSQL({"DROP table " + name_});
    q.Execute();
}

QStringList WorkTable::RemoveEndedRuns(TableCatalogue& catalogue) {
    std::vector<std::pair<QString, WorkTableOwner>> tables;
    for (const QString& name : catalogue.WorkTableCandidates()) {
        const WorkTableOwner owner = WorkTableOwnerOf(name);
        if (owner.kind != WorkTableOwner::Kind::NotAWorkTable && name != name_) tables.emplace_back(name, owner);
    }
    if (tables.empty()) return {};
    // The attachments are read after the tables: a run attaches before it makes its
    // table, so the maker of every table listed above is in this later snapshot unless
    // it has ended.
    const TableCatalogue::Attachments open = catalogue.OpenAttachments({connection_.AttachmentId()});

    QStringList dropped;
    for (const auto& [name, owner] : tables) {
        const bool ended =
            owner.kind == WorkTableOwner::Kind::Attachment
                ? std::find(open.ids.begin(), open.ids.end(), owner.attachment) == open.ids.end()
                : !open.anotherCopy;
        if (!ended) continue;
        Query q(connection_);
        q.SetSQL({"DROP TABLE " + name});
        try {
            q.Execute();
            dropped << name;
        } catch (const Interrupted&) {
            throw;
        } catch (const DbError&) {
            // Left for a later run.
        }
    }
    return dropped;
}

}  // namespace db
