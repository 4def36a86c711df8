#pragma once

#include <QSqlDatabase>

namespace quillerby {

// Prepares a freshly opened SQLite connection: WAL journal, synchronous=NORMAL, a busy timeout, and the
// program's SQL functions:
//   qv_amount(text) -> REAL: reads an amount as the program stores it ("1,234.50", "1234.5"); NULL stays
//                            NULL; any other text raises "... is not an amount" instead of SQLite's silent 0.
//   qv_int(text)    -> INTEGER: a whole number, else an error (SQL Server's CAST(... AS int) fails too).
// Raises Error when the handle cannot be reached.
void prepareSqliteConnection(const QSqlDatabase& db);

} // namespace quillerby
