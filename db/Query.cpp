// Statements on a connection: prepared from the text with its named parameters made
// positional, values bound by their C++ type, every row fetched at once.

#include <ibase.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <cstring>

#include "db/Connection.h"
#include "db/ConnectionState.h"
#include "db/FirebirdStatus.h"
#include "db/Interrupt.h"
#include "db/LiveAttachments.h"
#include "db/StatementParams.h"

namespace db {

namespace {

XSQLDA* AllocSqlda(int n) {
    auto* da = static_cast<XSQLDA*>(std::calloc(1, XSQLDA_LENGTH(std::max(n, 1))));
    da->version = SQLDA_VERSION1;
    da->sqln = static_cast<ISC_SHORT>(std::max(n, 1));
    return da;
}

// The server tells how many columns (or parameters) a statement has in the first describe,
// into a descriptor that may hold fewer: a descriptor of the full size is described again.
template <typename Describe>
void DescribeWhole(XSQLDA*& sqlda, Describe describe) {
    if (sqlda->sqld <= sqlda->sqln) return;
    const int n = sqlda->sqld;
    std::free(sqlda);
    sqlda = AllocSqlda(n);
    describe(sqlda);
}

QString DateText(const ISC_DATE& d) {
    tm t{};
    isc_decode_sql_date(&d, &t);
    return QString::asprintf("%04d/%02d/%02d", t.tm_year + 1900, t.tm_mon + 1, t.tm_mday);
}

QString TimeText(const ISC_TIME& tt) {
    tm t{};
    isc_decode_sql_time(&tt, &t);
    return QString::asprintf("%02d:%02d:%02d", t.tm_hour, t.tm_min, t.tm_sec);
}

QByteArray ReadBlob(isc_db_handle* db, isc_tr_handle* tr, ISC_QUAD id) {
    isc_blob_handle blob = 0;
    Status st;
    isc_open_blob2(&st, db, tr, &blob, &id, 0, nullptr);
    Check(st);
    QByteArray out;
    char segment[8192];
    for (;;) {
        unsigned short got = 0;
        const ISC_STATUS rc = isc_get_segment(&st, &blob, &got, sizeof segment, segment);
        if (rc != 0 && rc != isc_segment) break;
        out.append(segment, got);
    }
    const bool failed = st.failed() && st.v[1] != isc_segstr_eof;
    Status closeSt;
    isc_close_blob(&closeSt, &blob);
    if (failed) Throw(st);
    return out;
}

// Writes bytes as a new blob of the transaction and returns its id.
ISC_QUAD WriteBlob(isc_db_handle* db, isc_tr_handle* tr, const char* bytes, qsizetype size) {
    isc_blob_handle blob = 0;
    ISC_QUAD id{};
    Status st;
    isc_create_blob2(&st, db, tr, &blob, &id, 0, nullptr);
    Check(st);
    for (qsizetype at = 0; at < size;) {
        const auto n = static_cast<unsigned short>(std::min<qsizetype>(size - at, 32768));
        isc_put_segment(&st, &blob, n, bytes + at);
        if (st.failed()) {
            Status ignore;
            isc_cancel_blob(&ignore, &blob);
            Throw(st);
        }
        at += n;
    }
    isc_close_blob(&st, &blob);
    Check(st);
    return id;
}

// With MARLITH_PLAN_LOG naming a file, every statement prepared appends its text and the
// server's plan for it there, a line each: how the benchmarks show which statements read a
// table whole (NATURAL) on a large database.
void LogPlan(isc_stmt_handle* stmt, const QString& text) {
    static const QByteArray path = qgetenv("MARLITH_PLAN_LOG");
    if (path.isEmpty()) return;
    char item = isc_info_sql_get_plan;
    static char info[32000];
    Status st;
    isc_dsql_sql_info(&st, stmt, 1, &item, sizeof info, info);
    if (st.failed() || info[0] != isc_info_sql_get_plan) return;
    const int length = static_cast<int>(isc_vax_integer(info + 1, 2));
    const QByteArray plan = QByteArray(info + 3, std::clamp(length, 0, int(sizeof info) - 3)).simplified();
    if (FILE* f = std::fopen(path.constData(), "a")) {
        std::fprintf(f, "SQL %s\nPLAN %s\n", text.simplified().toUtf8().constData(), plan.constData());
        std::fclose(f);
    }
}

}  // namespace

struct Query::Impl {
    isc_stmt_handle stmt = 0;
    XSQLDA* in = nullptr;
    XSQLDA* out = nullptr;
    std::vector<QByteArray> outBuffers;
    std::vector<short> outNulls;
    QByteArray inTexts;                    // text values, one after another
    std::vector<qsizetype> inTextAt;       // where each text parameter's value starts (-1: not a text)
    std::vector<std::int64_t> inNumbers;   // whole numbers and floats, 8 bytes a parameter
    QByteArray inZeros;                    // what a null parameter points at
    std::vector<short> inNulls;
    std::vector<short> inDescribed;        // each parameter's type as the statement describes it
    std::vector<ISC_QUAD> inBlobs;         // blob ids of text given for blob parameters
    QStringList paramNames;
    int stmtType = 0;
    bool prepared = false;

    ~Impl() {
        std::free(in);
        std::free(out);
    }
};

Query::Query(Connection& connection) : connection_(connection), d_(std::make_unique<Impl>()) {
    connection_.d_->queries.insert(this);
}

Query::~Query() {
    Unprepare();
    connection_.d_->queries.erase(this);
}

void Query::Unprepare() {
    Close();
    if (d_->stmt) {
        Status st;
        isc_dsql_free_statement(&st, &d_->stmt, DSQL_drop);
        d_->stmt = 0;
    }
    d_->prepared = false;
}

void Query::Clear() {
    Unprepare();
    positional_ = false;
    lines_.clear();
    paramValues_.clear();
}

void Query::Add(const QString& line) {
    Unprepare();
    lines_ << line;
}

void Query::SetSQL(const QStringList& lines) {
    if (!positional_ && lines == lines_) return;  // same statement: keep it prepared
    Unprepare();
    positional_ = false;
    lines_ = lines;
    paramValues_.clear();
}

void Query::SetPositionalSQL(const QString& text) {
    if (positional_ && lines_ == QStringList{text}) return;  // same statement: keep it prepared
    Unprepare();
    positional_ = true;
    lines_ = QStringList{text};
    paramValues_.clear();
    positionalValues_.clear();
}

QString Query::Text() const {
    QString s;
    for (const QString& l : lines_) s += l + '\n';
    return s;
}

void Query::SetParam(const QString& name, const QVariant& value) { paramValues_[name.toUpper()] = value; }

void Query::Prepare() {
    if (d_->prepared) return;
    PositionalStatement parsed;
    if (positional_)
        parsed.text = Text();
    else
        parsed = ToPositionalParams(Text());
    const QByteArray sql = connection_.codePage().Encode(parsed.text);
    auto* db = static_cast<isc_db_handle*>(connection_.handle());

    bool implicit = false;
    auto* tr = static_cast<isc_tr_handle*>(connection_.transactionForStatement(implicit));
    Status st;
    try {
        isc_dsql_allocate_statement(&st, db, &d_->stmt);
        Check(st);
        std::free(d_->out);
        d_->out = AllocSqlda(20);
        isc_dsql_prepare(&st, tr, &d_->stmt, 0, sql.constData(),
                         static_cast<unsigned short>(connection_.params().sqlDialect), d_->out);
        Check(st);
        DescribeWhole(d_->out, [&](XSQLDA* da) {
            isc_dsql_describe(&st, &d_->stmt, 1, da);
            Check(st);
        });
        std::free(d_->in);
        d_->in = AllocSqlda(std::max<int>(1, parsed.names.size()));
        isc_dsql_describe_bind(&st, &d_->stmt, 1, d_->in);
        Check(st);
        DescribeWhole(d_->in, [&](XSQLDA* da) {
            isc_dsql_describe_bind(&st, &d_->stmt, 1, da);
            Check(st);
        });
        d_->inDescribed.resize(size_t(d_->in->sqld));
        for (int i = 0; i < d_->in->sqld; ++i) d_->inDescribed[size_t(i)] = d_->in->sqlvar[i].sqltype & ~1;
        char item = isc_info_sql_stmt_type;
        char info[16] = {};
        isc_dsql_sql_info(&st, &d_->stmt, 1, &item, sizeof info, info);
        Check(st);
        d_->stmtType = info[0] == isc_info_sql_stmt_type
                           ? isc_vax_integer(info + 3, static_cast<short>(isc_vax_integer(info + 1, 2)))
                           : 0;
        LogPlan(&d_->stmt, parsed.text);
        if (implicit) {
            // A failed commit ends the transaction itself: the handler below must not.
            implicit = false;
            connection_.endImplicit(tr, true);
        }
    } catch (...) {
        if (implicit) connection_.endImplicit(tr, false);
        if (d_->stmt) {
            Status ignore;
            isc_dsql_free_statement(&ignore, &d_->stmt, DSQL_drop);
            d_->stmt = 0;
        }
        throw;
    }
    d_->paramNames = parsed.names;

    // Output buffers, one per column, in the column's own type.
    fields_.clear();
    d_->outBuffers.assign(d_->out->sqld, {});
    d_->outNulls.assign(d_->out->sqld, 0);
    for (int i = 0; i < d_->out->sqld; ++i) {
        XSQLVAR& v = d_->out->sqlvar[i];
        const int type = v.sqltype & ~1;
        d_->outBuffers[i] = QByteArray(v.sqllen + (type == SQL_VARYING ? 2 : 0) + 8, '\0');
        v.sqldata = d_->outBuffers[i].data();
        v.sqlind = &d_->outNulls[i];
        v.sqltype |= 1;
        Field f;
        f.name_ = QString::fromUtf8(v.aliasname, v.aliasname_length);
        switch (type) {
        case SQL_TEXT:
        case SQL_VARYING:
            f.type_ = FieldType::Text;
            f.size_ = v.sqllen;
            break;
        case SQL_TYPE_DATE:
        case SQL_TYPE_TIME:
        case SQL_TIMESTAMP:
            f.type_ = FieldType::Text;
            f.size_ = type == SQL_TIMESTAMP ? 19 : (type == SQL_TYPE_DATE ? 10 : 8);
            break;
        case SQL_SHORT:
        case SQL_LONG:
        case SQL_INT64:
            f.type_ = v.sqlscale == 0 ? FieldType::Integer : FieldType::Float;
            break;
        case SQL_BOOLEAN:
            f.type_ = FieldType::Integer;
            break;
        case SQL_BLOB:
            f.type_ = v.sqlsubtype == 1 ? FieldType::Text : FieldType::Other;
            break;
        case SQL_FLOAT:
        case SQL_DOUBLE:
        case SQL_D_FLOAT:
            f.type_ = FieldType::Float;
            break;
        default:
            f.type_ = FieldType::Other;
            break;
        }
        fields_.push_back(f);
    }
    d_->prepared = true;
}

void Query::Bind(void* transaction) {
    XSQLDA* in = d_->in;
    // Storage for this execution's values; the XSQLVARs point into it until the next bind.
    // It is reused from one execution to the next, texts in one buffer: a statement run
    // for every line of a long list would otherwise allocate for each value.
    QByteArray& texts = d_->inTexts;
    texts.resize(0);
    std::vector<qsizetype>& textAt = d_->inTextAt;
    textAt.assign(size_t(in->sqld), -1);
    std::vector<std::int64_t>& numbers = d_->inNumbers;
    numbers.resize(size_t(in->sqld));
    std::vector<short>& nulls = d_->inNulls;
    nulls.assign(in->sqld, 0);
    d_->inBlobs.assign(size_t(in->sqld), ISC_QUAD{});
    // Room for the longest parameter, sized before any pointer into it is handed out.
    int longest = 8;
    for (int i = 0; i < in->sqld; ++i) longest = std::max<int>(longest, in->sqlvar[i].sqllen);
    if (d_->inZeros.size() < longest + 2) d_->inZeros = QByteArray(longest + 2, '\0');
    // Only an error names a parameter.
    auto name = [&](int i) {
        if (positional_) return QString::number(i + 1);
        return i < d_->paramNames.size() ? d_->paramNames[i] : QString();
    };
    for (int i = 0; i < in->sqld; ++i) {
        XSQLVAR& v = in->sqlvar[i];
        const QVariant* value = nullptr;
        if (positional_) {
            if (size_t(i) >= positionalValues_.size())
                throw DbError("no value for parameter " + name(i).toStdString());
            value = &positionalValues_[size_t(i)];
        } else {
            const auto it = paramValues_.constFind(name(i));
            if (it == paramValues_.cend()) throw DbError("no value for parameter '" + name(i).toStdString() + "'");
            value = &*it;
        }
        v.sqlind = &nulls[i];
        v.sqlscale = 0;
        if (value->isNull()) {
            nulls[i] = -1;
            v.sqltype = static_cast<ISC_SHORT>((v.sqltype & ~1) | 1);
            v.sqldata = d_->inZeros.data();
            continue;
        }
        switch (value->typeId()) {
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::Long:
        case QMetaType::Short:
        case QMetaType::Bool: {
            const qint64 x = value->typeId() == QMetaType::Int ? *static_cast<const int*>(value->constData())
                                                                : value->toLongLong();
            std::memcpy(&numbers[size_t(i)], &x, sizeof x);
            v.sqltype = SQL_INT64 | 1;
            v.sqllen = sizeof x;
            v.sqldata = reinterpret_cast<char*>(&numbers[size_t(i)]);
            continue;
        }
        case QMetaType::Double:
        case QMetaType::Float: {
            const double x = value->toDouble();
            std::memcpy(&numbers[size_t(i)], &x, sizeof x);
            v.sqltype = SQL_DOUBLE | 1;
            v.sqllen = sizeof x;
            v.sqldata = reinterpret_cast<char*>(&numbers[size_t(i)]);
            continue;
        }
        default: {
            const qsizetype at = texts.size();
            if (value->typeId() == QMetaType::QString)
                connection_.codePage().EncodeAppend(*static_cast<const QString*>(value->constData()), texts);
            else
                connection_.codePage().EncodeAppend(value->toString(), texts);
            const qsizetype size = texts.size() - at;
            if (d_->inDescribed[size_t(i)] == SQL_BLOB) {
                // A text for a blob column (a record kept whole, of any length) goes in as a
                // blob of the statement's transaction, in the same code page.
                d_->inBlobs[size_t(i)] = WriteBlob(static_cast<isc_db_handle*>(connection_.handle()),
                                                   static_cast<isc_tr_handle*>(transaction), texts.constData() + at, size);
                texts.resize(at);
                v.sqltype = SQL_BLOB | 1;
                v.sqllen = sizeof(ISC_QUAD);
                v.sqldata = reinterpret_cast<char*>(&d_->inBlobs[size_t(i)]);
                break;
            }
            if (size > 32765) throw DbError("value of parameter '" + name(i).toStdString() + "' is too long");
            textAt[size_t(i)] = at;
            v.sqltype = SQL_TEXT | 1;
            v.sqlsubtype = 0;  // no character set: the code page's bytes travel as they are
            v.sqllen = static_cast<ISC_SHORT>(size);
            break;
        }
        }
    }
    // The texts' buffer has stopped growing: point at it now. An empty text points at the
    // zeros with a length of 0.
    for (int i = 0; i < in->sqld; ++i) {
        const qsizetype at = textAt[size_t(i)];
        if (at < 0) continue;
        XSQLVAR& v = in->sqlvar[i];
        v.sqldata = v.sqllen == 0 ? d_->inZeros.data() : texts.data() + at;
    }
}

void Query::Run(bool wantRows) {
    Close();
    CheckInterrupt();
    Prepare();
    const bool select = d_->stmtType == isc_info_sql_stmt_select ||
                        d_->stmtType == isc_info_sql_stmt_select_for_upd;
    const bool singleton = !select && d_->out->sqld > 0;  // RETURNING, procedures
    if (wantRows && !select && !singleton)
        throw DbError("the statement returns no rows");

    bool implicit = false;
    auto* tr = static_cast<isc_tr_handle*>(connection_.transactionForStatement(implicit));
    const CodePage& cp = connection_.codePage();
    try {
        Bind(tr);
        Status st;
        ++connection_.executed_;
        Busy busy(connection_.d_->live);
        if (singleton) {
            isc_dsql_execute2(&st, tr, &d_->stmt, 1, d_->in, d_->out);
            Check(st);
        } else {
            isc_dsql_execute(&st, tr, &d_->stmt, 1, d_->in);
            Check(st);
        }
        auto readRow = [&] {
            std::vector<QVariant> row(d_->out->sqld);
            for (int i = 0; i < d_->out->sqld; ++i) {
                const XSQLVAR& v = d_->out->sqlvar[i];
                if (*v.sqlind < 0) continue;
                const char* p = v.sqldata;
                switch (v.sqltype & ~1) {
                case SQL_TEXT: row[i] = cp.Decode(p, v.sqllen); break;
                case SQL_VARYING: {
                    short len;
                    std::memcpy(&len, p, 2);
                    row[i] = cp.Decode(p + 2, static_cast<size_t>(std::max<short>(0, len)));
                    break;
                }
                case SQL_SHORT:
                case SQL_LONG:
                case SQL_INT64: {
                    qint64 x = 0;
                    if ((v.sqltype & ~1) == SQL_SHORT) { short s; std::memcpy(&s, p, 2); x = s; }
                    else if ((v.sqltype & ~1) == SQL_LONG) { ISC_LONG l; std::memcpy(&l, p, 4); x = l; }
                    else std::memcpy(&x, p, 8);
                    if (v.sqlscale == 0) row[i] = x;
                    else row[i] = static_cast<double>(x) * std::pow(10.0, v.sqlscale);
                    break;
                }
                case SQL_BOOLEAN: row[i] = qint64(*p != 0); break;
                case SQL_FLOAT: { float f; std::memcpy(&f, p, 4); row[i] = static_cast<double>(f); break; }
                case SQL_DOUBLE:
                case SQL_D_FLOAT: { double x; std::memcpy(&x, p, 8); row[i] = x; break; }
                case SQL_TYPE_DATE: { ISC_DATE x; std::memcpy(&x, p, sizeof x); row[i] = DateText(x); break; }
                case SQL_TYPE_TIME: { ISC_TIME x; std::memcpy(&x, p, sizeof x); row[i] = TimeText(x); break; }
                case SQL_TIMESTAMP: {
                    ISC_TIMESTAMP x;
                    std::memcpy(&x, p, sizeof x);
                    row[i] = DateText(x.timestamp_date) + ' ' + TimeText(x.timestamp_time);
                    break;
                }
                case SQL_BLOB: {
                    ISC_QUAD id;
                    std::memcpy(&id, p, sizeof id);
                    const QByteArray bytes = ReadBlob(static_cast<isc_db_handle*>(connection_.handle()), tr, id);
                    if (v.sqlsubtype == 1) row[i] = cp.Decode(bytes);
                    else row[i] = bytes;
                    break;
                }
                default:
                    throw DbError("column " + fields_[i].name_.toStdString() + " has a type the program does not read");
                }
            }
            rows_.push_back(std::move(row));
        };
        if (select) {
            for (;;) {
                const ISC_STATUS rc = isc_dsql_fetch(&st, &d_->stmt, 1, d_->out);
                if (rc == 100) break;
                Check(st);
                readRow();
            }
            isc_dsql_free_statement(&st, &d_->stmt, DSQL_close);
            Check(st);
        } else if (singleton) {
            readRow();
        }
        // Rows touched by an insert, update or delete.
        rowsAffected_ = 0;
        if (!select) {
            char item = isc_info_sql_records;
            char info[64] = {};
            isc_dsql_sql_info(&st, &d_->stmt, 1, &item, sizeof info, info);
            if (!st.failed() && info[0] == isc_info_sql_records) {
                for (const char* p = info + 3; *p != isc_info_end && p < info + sizeof info - 4;) {
                    const char kind = *p++;
                    const short len = static_cast<short>(isc_vax_integer(p, 2));
                    p += 2;
                    const long count = isc_vax_integer(p, len);
                    p += len;
                    if (kind == isc_info_req_insert_count || kind == isc_info_req_update_count ||
                        kind == isc_info_req_delete_count)
                        rowsAffected_ += static_cast<int>(count);
                }
            }
        }
        if (implicit) {
            // A failed commit ends the transaction itself: the handler below must not.
            implicit = false;
            connection_.endImplicit(tr, true);
        }
    } catch (...) {
        rows_.clear();
        if (implicit) connection_.endImplicit(tr, false);
        throw;
    }
    active_ = select || singleton;
    current_ = 0;
    PointFields();
    if (connection_.afterStatement_) connection_.afterStatement_(Text());
}

void Query::Execute() { Run(false); }
void Query::Open() { Run(true); }

void Query::Close() {
    active_ = false;
    rows_.clear();
    current_ = 0;
    PointFields();
}

void Query::PointFields() {
    const bool row = current_ < rows_.size();
    for (size_t i = 0; i < fields_.size(); ++i) fields_[i].value_ = row ? &rows_[current_][i] : nullptr;
}

void Query::Next() {
    if (current_ < rows_.size()) ++current_;
    PointFields();
}

bool Query::Eof() const { return current_ >= rows_.size(); }

const Field& Query::Fields(int index) const {
    if (index < 0 || index >= FieldCount())
        throw DbError("field index " + std::to_string(index) + " out of range");
    return fields_[static_cast<size_t>(index)];
}

const Field* Query::FindField(const QString& name) const {
    for (const Field& f : fields_)
        if (f.name_.compare(name, Qt::CaseInsensitive) == 0) return &f;
    return nullptr;
}

const Field& Query::FieldByName(const QString& name) const {
    if (const Field* f = FindField(name)) return *f;
    throw DbError("Field '" + name.toStdString() + "' not found");
}

QStringList SplitScript(const QString& script) {
    QStringList statements;
    QString current;
    for (const QString& raw : script.split('\n')) {
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith("--")) continue;
        current += raw + '\n';
        if (line.endsWith(';')) {
            current = current.trimmed();
            current.chop(1);
            statements << current;
            current.clear();
        }
    }
    if (!current.trimmed().isEmpty()) statements << current.trimmed();
    return statements;
}

}  // namespace db
