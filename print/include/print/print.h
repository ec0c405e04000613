/*
 * Print report library: the printed lists of the front-desk program.
 *
 * The program loads the library at run time from Dll/ in its folder and calls one entry,
 * PrintForm_Show, with a hand-over record passed by value:
 *
 *   Handle    the window the report's preview belongs to (a QWidget *), or null
 *   List      the list shown on the screen: the grid's QAbstractItemModel *. Its horizontal
 *             header titles name the columns; a column whose header data for role
 *             PRINT_HIDDEN_COLUMN_ROLE is true is not printed. A column whose header data
 *             for role PRINT_FREE_TEXT_COLUMN_ROLE is true holds free texts (names,
 *             explanations): they wrap within the column. Every other column is printed
 *             whole on one line (dates, times, card numbers, card types). A list that reads
 *             its rows on demand (canFetchMore) is read to its end first.
 *   Kind      the report: PRINT_OPEN_DOOR_RECORDS, PRINT_ISSUE_RECORDS or PRINT_OPERATION_LOG
 *   Reserved  not used; callers leave it 0
 *
 * The report's heading comes from dynamic properties of the List object (texts):
 *   "HotelName"  every report
 *   "RoomStr"    the door plate of the open-door records
 *   "Days"       the days listed (issue records, operation log)
 *   "CardType"   the card type of the issue records, as the operator chose it
 *
 * PrintForm_Show opens a modal print preview: the operator prints from it or saves the
 * report as a PDF file on the page layout chosen in the preview. PrintForm_SavePdf writes the same
 * report straight to a PDF file and returns 1, or 0 when the file could not be written or the
 * record is not usable.
 *
 * Both entries need a running QApplication in the calling process and must be called on its
 * thread.
 */
#ifndef PRINT_PRINT_H
#define PRINT_PRINT_H

#include <stdint.h>

#if defined(PRINT_BUILDING)
#define PRINT_API __attribute__((visibility("default")))
#else
#define PRINT_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

enum { PRINT_OPEN_DOOR_RECORDS = 0, PRINT_ISSUE_RECORDS = 1, PRINT_OPERATION_LOG = 2 };

/* Qt::UserRole + 2 */
enum { PRINT_HIDDEN_COLUMN_ROLE = 0x0100 + 2 };
/* Qt::UserRole + 3 */
enum { PRINT_FREE_TEXT_COLUMN_ROLE = 0x0100 + 3 };

typedef struct TPrintFromDll
{
    void *Handle;
    void *List;
    uint8_t Kind;
    int32_t Reserved;
} TPrintFromDll;

PRINT_API void PrintForm_Show(TPrintFromDll Record);
PRINT_API int32_t PrintForm_SavePdf(TPrintFromDll Record, const char *FileName);

typedef void (*PrintFormShowFn)(TPrintFromDll Record);
typedef int32_t (*PrintFormSavePdfFn)(TPrintFromDll Record, const char *FileName);

#ifdef __cplusplus
}
#endif

#endif
