// The texts of the statement, result-set and query errors, each written once.
#pragma once

namespace vekrano::sql::messages {

// Statements and their runs.
inline constexpr char kEmptyStatement[] = "SQL statement cannot be empty";
inline constexpr char kSelectWithExecSql[] = "You must use SELECT only with Open method or Active property!";
inline constexpr char kActionWithOpen[] =
    "You must use UPDATE, DELETE, INSERT or CREATE TABLE only with ExecSQL method !";
inline constexpr char kDataSetNotOpened[] = "DataSet %s is not opened !";
inline constexpr char kFieldNotFound[] = "Field %s was not found";
inline constexpr char kInsertFieldMissing[] = "INSERT: Field: %s does not exist in the dataset";
inline constexpr char kWhereNotBoolean[] = "Expresion is not of boolean type !";
inline constexpr char kFieldIndexIncorrect[] = "Field index incorrect";
inline constexpr char kGroupByNotInSelect[] = "Fields in GROUP BY must also exists in SELECT columns";
inline constexpr char kGroupByCountMismatch[] = "No. of fields in GROUP unmatched with SELECT";
inline constexpr char kNoJoin[] = "More than one table but no JOINing defined";
inline constexpr char kSubqueryTables[] = "More than one table in FROM clause in subquery";
inline constexpr char kSubqueryColumns[] = "Subquery with more than one column";
inline constexpr char kJoinNames[] = "Invalid field or table name in join clause";
inline constexpr char kNoTables[] = "No tables defined in FROM clause!";
inline constexpr char kIntoMissing[] = "The INTO table defined does not exists";
inline constexpr char kNotHexDigit[] = "%c is not a hex digit";
inline constexpr char kListIndex[] = "List index out of bounds (%d)";

// The query's collections.
inline constexpr char kAliasExists[] = "Alias already exists";
inline constexpr char kCircularReference[] = "Circular reference not allowed";
inline constexpr char kParamsAsFieldsDuplicate[] = "ParamsAsFields: duplicate name";
inline constexpr char kBookmarkNotFound[] = "Bookmark %d not found";

// Result sets, sort lists and their temporary files.
inline constexpr char kRecnoOutOfRange[] = "Recno out of range";
inline constexpr char kPositionBeyondEof[] = "Position beyond EOF";
inline constexpr char kCapacityExceeded[] = "Temporary file capacity of %d bytes exceeded";
inline constexpr char kOpenFileFailed[] = "Failed to open or create file";
inline constexpr char kMappingFailed[] = "Failed to create file mapping";
inline constexpr char kMapViewFailed[] = "Failed to map view of file";

// Result columns.
inline constexpr char kCannotReadFieldString[] = "Cannot read field as string";
inline constexpr char kCannotReadFieldFloat[] = "Cannot read field as float";
inline constexpr char kCannotReadFieldInteger[] = "Cannot read field as integer";
inline constexpr char kCannotReadFieldBoolean[] = "Cannot read field as boolean";
inline constexpr char kCannotAssignString[] = "Cannot assign field as string";
inline constexpr char kCannotAssignFloat[] = "Cannot assign field as float";
inline constexpr char kCannotAssignInteger[] = "Cannot assign field as integer";
inline constexpr char kCannotAssignBoolean[] = "Cannot assign field as boolean";
inline constexpr char kInvalidFloatValue[] = "Invalid floating point value %s";
inline constexpr char kInvalidIntegerValue[] = "Invalid integer value %s";
inline constexpr char kInvalidBooleanValue[] = "Invalid boolean value %s";

}  // namespace vekrano::sql::messages
