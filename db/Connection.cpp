// Attachments and their transactions through the Firebird client library (classic isc_*
// interface), whose headers no file outside db/ includes.

#include "db/Connection.h"

#include <ibase.h>

#include <QFile>
#include <QFileInfo>

#include <algorithm>

#include "db/ConnectionState.h"
#include "db/EmbeddedEngine.h"
#include "db/FirebirdStatus.h"

namespace db {

namespace {

class Dpb {
public:
    Dpb() { bytes_ += char(isc_dpb_version1); }
    void Text(char tag, const QByteArray& value) {
        bytes_ += tag;
        bytes_ += char(std::min<qsizetype>(value.size(), 255));
        bytes_ += value.left(255);
    }
    void Int(char tag, int value) {
        bytes_ += tag;
        bytes_ += char(4);
        for (int i = 0; i < 4; ++i) bytes_ += char((value >> (8 * i)) & 0xFF);
    }
    const char* data() const { return bytes_.constData(); }
    short size() const { return static_cast<short>(bytes_.size()); }

private:
    QByteArray bytes_;
};

Dpb MakeDpb(const ConnectionParams& p) {
    Dpb dpb;
    dpb.Text(isc_dpb_user_name, p.userName.toUtf8());
    if (!p.password.isEmpty()) dpb.Text(isc_dpb_password, p.password.toUtf8());
    if (!p.roleName.isEmpty()) dpb.Text(isc_dpb_sql_role_name, p.roleName.toUtf8());
    dpb.Int(isc_dpb_sql_dialect, p.sqlDialect);
    dpb.Text(isc_dpb_lc_ctype, p.serverCharSet.isEmpty() ? QByteArray("NONE") : p.serverCharSet.toUtf8());
    // Pin the provider: otherwise a file the engine cannot open is silently tried
    // through a server, and a server path through the engine.
    dpb.Text(isc_dpb_config, p.isEmbedded() ? "Providers=Engine12" : "Providers=Remote");
    return dpb;
}

QByteArray DatabasePath(const ConnectionParams& p) {
    if (p.isEmbedded()) return QFile::encodeName(QFileInfo(p.database).absoluteFilePath());
    return p.database.toUtf8();
}

}  // namespace

Connection::Connection(QString name) : name_(std::move(name)), d_(std::make_unique<Impl>()) {}

Connection::~Connection() {
    try {
        Close();
    } catch (...) {
        // Closing can only fail on a lost attachment; nothing is left to release.
    }
}

void Connection::SetParams(const ConnectionParams& params) {
    params_ = params;
    paramsSet_ = true;
    codePage_ = CodePage(params.codePage.isEmpty() ? QString(kDefaultCodePage) : params.codePage);
}

bool Connection::Connected() const { return d_->db != 0; }

void Connection::Open() {
    if (Connected()) return;
    if (!paramsSet_) {
        // The named entry replaces the parameters at every open.
        params_ = LoadNamedConnection(name_);
        codePage_ = CodePage(params_.codePage.isEmpty() ? QString(kDefaultCodePage) : params_.codePage);
    }
    if (params_.isEmbedded()) PrepareEmbeddedEngine();
    Dpb dpb = MakeDpb(params_);
    if (pageCache_ > 0 && params_.isEmbedded()) dpb.Int(isc_dpb_num_buffers, pageCache_);
    const QByteArray path = DatabasePath(params_);
    Status st;
    isc_attach_database(&st, 0, path.constData(), &d_->db, dpb.size(), dpb.data());
    if (st.failed()) {
        d_->db = 0;
        Throw(st, "cannot open database " + params_.database.toStdString());
    }
    d_->Register();
}

void Connection::Close() {
    if (!Connected()) return;
    // Out of the watcher's reach before the handle goes.
    d_->Unregister();
    d_->attachmentId = 0;
    for (Query* q : d_->queries) q->Unprepare();
    Status st;
    if (d_->tr) {
        isc_rollback_transaction(&st, &d_->tr);
        d_->tr = 0;
    }
    isc_detach_database(&st, &d_->db);
    d_->db = 0;
}

void Connection::FreeStatements() {
    for (Query* q : d_->queries) q->Unprepare();
}

void Connection::CreateDatabase(const ConnectionParams& params, int pageSize) {
    if (params.isEmbedded()) PrepareEmbeddedEngine();
    Dpb dpb = MakeDpb(params);
    dpb.Int(isc_dpb_page_size, pageSize);
    const QByteArray path = DatabasePath(params);
    isc_db_handle db = 0;
    Status st;
    isc_create_database(&st, 0, path.constData(), &db, dpb.size(), dpb.data(), 0);
    Check(st, "cannot create database " + params.database.toStdString());
    isc_detach_database(&st, &db);
    Check(st);
}

namespace {

isc_tr_handle StartTr(isc_db_handle* db, const ConnectionParams& p, const QStringList& protectedWrite = {}) {
    QByteArray tpb;
    tpb += char(isc_tpb_version3);
    tpb += char(isc_tpb_write);
    tpb += char(isc_tpb_read_committed);
    tpb += char(isc_tpb_rec_version);
    tpb += char(p.waitOnLocks ? isc_tpb_wait : isc_tpb_nowait);
    if (p.waitOnLocks && p.lockTimeout > 0) {
        tpb += char(isc_tpb_lock_timeout);
        tpb += char(4);
        for (int i = 0; i < 4; ++i) tpb += char((p.lockTimeout >> (8 * i)) & 0xFF);
    }
    for (const QString& table : protectedWrite) {
        const QByteArray name = table.toUpper().toLatin1();
        if (name.isEmpty() || name.size() > 255) throw DbError("'" + table.toStdString() + "' is not a table name");
        tpb += char(isc_tpb_lock_write);
        tpb += char(name.size());
        tpb += name;
        tpb += char(isc_tpb_protected);
    }
    isc_tr_handle tr = 0;
    Status st;
    isc_start_transaction(&st, &tr, 1, db, static_cast<unsigned short>(tpb.size()), tpb.constData());
    Check(st);
    return tr;
}

}  // namespace

void Connection::StartTransaction(int /*id: a label only*/) { StartTransactionReserving({}); }

void Connection::StartTransactionReserving(const QStringList& tables) {
    Open();
    if (d_->tr) throw DbError("a transaction is already active on connection " + name_.toStdString());
    d_->tr = StartTr(&d_->db, params_, tables);
}

void Connection::StartSnapshot() {
    Open();
    if (d_->tr) throw DbError("a transaction is already active on connection " + name_.toStdString());
    const char tpb[] = {isc_tpb_version3, isc_tpb_read, isc_tpb_concurrency, isc_tpb_nowait};
    Status st;
    isc_start_transaction(&st, &d_->tr, 1, &d_->db, static_cast<unsigned short>(sizeof tpb), tpb);
    Check(st);
}

void Connection::Commit() {
    if (!d_->tr) throw DbError("no transaction is active on connection " + name_.toStdString());
    Status st;
    isc_commit_transaction(&st, &d_->tr);
    if (st.failed()) Throw(st);
    d_->tr = 0;
}

void Connection::Rollback() {
    if (!d_->tr) return;
    Status st;
    isc_rollback_transaction(&st, &d_->tr);
    d_->tr = 0;  // a failed rollback leaves nothing to retry on this handle
    Check(st);
}

bool Connection::InTransaction() const { return d_->tr != 0; }

qint64 Connection::AttachmentId() {
    Open();
    if (d_->attachmentId == 0) {
        Query q(*this);
        q.Add("SELECT CURRENT_CONNECTION FROM RDB$DATABASE");
        q.Open();
        d_->attachmentId = q.Fields(0).AsVariant().toLongLong();
    }
    return d_->attachmentId;
}

void* Connection::handle() {
    Open();
    return &d_->db;
}

void* Connection::transactionForStatement(bool& implicit) {
    Open();
    if (d_->tr) {
        implicit = false;
        return &d_->tr;
    }
    implicit = true;
    auto* tr = new isc_tr_handle(StartTr(&d_->db, params_));
    return tr;
}

void Connection::endImplicit(void* trp, bool commit) {
    auto* tr = static_cast<isc_tr_handle*>(trp);
    Status st;
    if (commit) {
        isc_commit_transaction(&st, tr);
        if (st.failed()) {
            Status ignore;
            isc_rollback_transaction(&ignore, tr);
            delete tr;
            Throw(st);
        }
    } else {
        isc_rollback_transaction(&st, tr);
    }
    delete tr;
}

void ShutdownClient() { fb_shutdown(0, fb_shutrsn_app_stopped); }

}  // namespace db
