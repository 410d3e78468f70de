#pragma once
// libKTB: table-and-cursor access to the statistics engine through 33 flat
// functions. Every function returns a status (KTB_SUCCESS or one of the codes
// below; KtbIsNA and KtbGetCodedTextMode return 0 or 1) and never throws.
// docs/statimport/ktb-and-maps.md lists the functions with their ordinals.
//
// Buffers: KtbGetVersion 15 bytes, KtbGetErrText 50, product names 11 (ten
// characters and the terminator), KtbGetInfo texts 46, KtbGetAbsEndRange 15.
// Data buffers hold item count x delivered width: 8 numbers, 255 texts and
// coded texts, 15 date texts, 4 integers and long-text handles
// (winmem::HGLOBAL, freed by the caller with winmem::GlobalFree). With the
// session's coded-values flag, KtbGetVarData and KtbGetDateFreq take a
// pointer to a winmem::SAFEARRAY* instead.
//
// Not thread-safe: one session per process, used from one thread.

#define KTB_EXPORT extern "C" __attribute__((visibility("default")))

enum KtbStatus {
    KTB_SUCCESS = 100000,
    KTB_MAPPING_IN_PROGRESS = 100001,
    KTB_PRODUCT_IN_USE = 100002,
    KTB_INVALID_PRODUCT = 100003,
    KTB_CANNOT_MAP = 100004,
    KTB_ALREADY_INITIALIZED = 100005,
    KTB_NO_SESSION = 100006,
    KTB_TABLE_NOT_OPEN = 100007,
    KTB_NO_FREE_TABLE = 100008,
    KTB_BAD_TABLE = 100009,
    KTB_CANNOT_CLOSE = 100010,
    KTB_CANNOT_CREATE = 100011,
    KTB_CANNOT_DESTROY = 100012,
    KTB_CANNOT_ADD = 100013,
    KTB_CANNOT_FIND = 100014,
    KTB_CANNOT_REMOVE = 100015,
    KTB_CANNOT_RETRIEVE = 100016,
    KTB_CANNOT_RELEASE = 100017,
    KTB_VAR_EXISTS = 100018,
    KTB_EXPRESSION_REFUSED = 100019,
    KTB_OUT_OF_MEMORY = 100020,
    KTB_BAD_ARGUMENTS = 100021,
    KTB_NO_VALUE = 100022,
    KTB_UNUSED = 100023,
    KTB_BAD_REQUEST = 100024,
    KTB_OUT_OF_BOUNDS = 100025,
    KTB_UNEXPECTED = 100026,
    KTB_UNKNOWN = 100027,
};

KTB_EXPORT int KtbGetVersion(char* buffer);                                           // 1
KTB_EXPORT int KtbInit(char* product, int flag);                                      // 2
KTB_EXPORT int KtbTerm(void);                                                         // 3
KTB_EXPORT int KtbChangeProduct(char* product);                                       // 4
KTB_EXPORT int KtbGetErrText(int code, char* buffer);                                 // 5
KTB_EXPORT int KtbOpenTable(const char* database, const char* table, int* handle);    // 6
KTB_EXPORT int KtbCloseTable(int handle);                                             // 7
KTB_EXPORT int KtbQueryMain(int handle, int mode, const char* expression, int* errorValue);  // 8
KTB_EXPORT int KtbAddEntityMain(int handle, const char* key);                         // 9
KTB_EXPORT int KtbDelEntityMain(int handle, const char* key);                         // 10
KTB_EXPORT int KtbAllEntityMain(int handle);                                          // 11
KTB_EXPORT int KtbClearEntityMain(int handle);                                        // 12
KTB_EXPORT int KtbTransferEntityList(int source, int target);                         // 13
KTB_EXPORT int KtbMoveTableCursor(int handle, int move);                              // 14
KTB_EXPORT int KtbMoveTableCursorRel(int handle, int percent);                        // 15
KTB_EXPORT int KtbFindStrInTable(int handle, const char* text);                       // 16
KTB_EXPORT int KtbFindKeyInTable(int handle, const char* key);                        // 17
KTB_EXPORT int KtbAddVar(int handle, const char* name);                               // 18
KTB_EXPORT int KtbClearVarList(int handle);                                           // 20
KTB_EXPORT int KtbSetAbsRange(int handle, const char* start, const char* end);        // 21
KTB_EXPORT int KtbSetRelRange(int handle, int first, int last);                       // 22
KTB_EXPORT int KtbClearAbsRange(int handle);                                          // 23
KTB_EXPORT int KtbClearRelRange(int handle);                                          // 24
KTB_EXPORT int KtbAddVarFml(int handle, const char* formula, int* errorValue);        // 25
KTB_EXPORT int KtbGetSingleValue(int handle, int column, int item, void* value);      // 26
KTB_EXPORT int KtbGetDateFreq(int handle, int column, void* buffer);                  // 27
KTB_EXPORT int KtbGetInfo(int handle, int column, int kind, void* out);               // 28
KTB_EXPORT int KtbGetVarData(int handle, int column, void* buffer);                   // 29
KTB_EXPORT int KtbSetCodedTextMode(int handle, int mode);                             // 30
KTB_EXPORT int KtbIsNA(int kind, const void* value);                                  // 31
KTB_EXPORT int KtbGetCodedTextMode(int handle);                                       // 32
KTB_EXPORT int KtbGetAbsEndRange(int handle, const char* period, const char* variable, int count,
                                 char* date);                                         // 33
KTB_EXPORT int KtbGetFrequency(int handle, const char* variable, int* frequency);     // 34
