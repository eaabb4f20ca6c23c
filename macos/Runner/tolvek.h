/* The functions the Tolvek host exports for its Dart code, called through the foreign-
 * function interface from any thread. Plain C: sizes and truth values are int32_t (truth
 * as 1 or 0), text is NUL-terminated UTF-8, and pointers may be null. */
#ifndef TOLVEK_H_
#define TOLVEK_H_

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* ---- File clipboard ----------------------------------------------------------------
 * A list of files on the system's general pasteboard, as file URLs, with a mode that says
 * whether they were cut or copied. Each function runs on the calling thread. Path lists
 * are UTF-8 text, paths separated by a line feed (a carriage return followed by a line
 * feed is part of a path, not a separator). */

/* Clears the general pasteboard, puts the paths in `paths` on it as file URLs, in order,
 * and records the mode: cut when `mode` is non-zero, copy when it is zero. Empty pieces are
 * skipped; relative paths are taken relative to the current directory; ill-formed UTF-8
 * becomes U+FFFD. The mode is recorded even when there is no path. A null `paths` does
 * nothing: the pasteboard stays as it was. */
void tolvek_clipboard_write_files(const char* paths, int32_t mode);

/* The paths of the file URLs on the general pasteboard, in order, joined by single line
 * feeds (none after the last); the empty string when there are none. The caller owns the
 * returned text and must release it with tolvek_clipboard_free. Null only when the text
 * cannot be allocated. */
char* tolvek_clipboard_read_files(void);

/* 1 when the mode on the general pasteboard is cut, else 0 (copy, no mode, or a
 * pasteboard another application has written since). */
int32_t tolvek_clipboard_is_cut(void);

/* Releases text returned by tolvek_clipboard_read_files. Null is accepted and does
 * nothing. */
void tolvek_clipboard_free(char* text);

#ifdef __cplusplus
}
#endif

#endif /* TOLVEK_H_ */
