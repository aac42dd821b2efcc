#include "OdbcDiagnostics.h"

#include <sql.h>
#include <sqlext.h>

namespace platform::db {

QString odbcSqlState(const QVariant& handle, OdbcHandle kind) {
    if (handle.metaType() != QMetaType::fromType<SQLHANDLE>())
        return {};
    SQLHANDLE h = *static_cast<const SQLHANDLE*>(handle.constData());
    if (h == nullptr)
        return {};
    SQLCHAR state[SQL_SQLSTATE_SIZE + 1] = {};
    SQLINTEGER nativeCode = 0;
    SQLSMALLINT length = 0;
    // the first record is the driver's account of the failure; the message itself Qt has already read
    const SQLRETURN r = SQLGetDiagRec(kind == OdbcHandle::Statement ? SQL_HANDLE_STMT : SQL_HANDLE_DBC, h, 1,
                                      state, &nativeCode, nullptr, 0, &length);
    if (r != SQL_SUCCESS && r != SQL_SUCCESS_WITH_INFO)
        return {};
    return QString::fromLatin1(reinterpret_cast<const char*>(state), SQL_SQLSTATE_SIZE).trimmed();
}

} // namespace platform::db
