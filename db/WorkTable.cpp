#include "db/WorkTable.h"

#include <QRandomGenerator>

namespace db {

bool TableCatalogue::TableIsMissing(const QString& name) {
    query_.Close();
    query_.SetSQL({"SELECT * FROM RDB$Relations ", " WHERE RDB$RELATION_NAME = :NAME"});
    query_.SetParam("NAME", name.toUpper());
    query_.Open();
    return query_.FieldByName("RDB$RELATION_NAME").IsNull();
}

QString MakeWorkTableName(const QTime& created, quint32 unique) {
    return QStringLiteral("TMP_BILLID") + created.toString("HHmmss") +
           QStringLiteral("_%1").arg(unique, 8, 16, QChar('0')).toUpper();
}

QString NewWorkTableName() {
    return MakeWorkTableName(QTime::currentTime(), QRandomGenerator::system()->generate());
}

void WorkTable::CreateIfMissing(TableCatalogue& catalogue) {
    if (!catalogue.TableIsMissing(name_)) return;
    Query q(connection_);
    q.SetSQL({"create table " + name_ + "( ", " masterbillid varchar(20), ", " proj_id varchar(20) ) "});
    q.Execute();
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

}  // namespace db
