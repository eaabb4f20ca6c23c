/*
 * Tolvek: the C functions the host executable exports for its Dart code.
 *
 * Every function is exported by name with C linkage from the executable itself, so Dart
 * binds it through DynamicLibrary.process(). Sizes and truth values are int32_t (sizes in
 * points; truth as 1 or 0). Text is NUL-terminated UTF-8. No function reports an error:
 * a missing window or a null pointer makes a command do nothing and a query return its
 * default.
 */
#ifndef TOLVEK_H
#define TOLVEK_H

#include <stdint.h>

#if defined(__GNUC__)
#define TOLVEK_EXPORT __attribute__((visibility("default")))
#else
#define TOLVEK_EXPORT
#endif

#ifdef __cplusplus
extern "C" {
#endif

/*
 * File clipboard: the general pasteboard, read and written on the calling thread.
 *
 * A list of files on the system's general pasteboard, as file URLs, with a mode that says
 * whether they were cut or copied. The mode lives on the pasteboard: when any application
 * writes the pasteboard, the mode is gone with the rest. Path lists are UTF-8 text, paths
 * separated by a line feed; a carriage return followed by a line feed is part of a path,
 * not a separator.
 */

/*
 * Clears the general pasteboard, puts the paths in `paths` on it as file URLs, in order,
 * and records the mode: cut when `mode` is non-zero, copy when it is zero. Empty pieces
 * are skipped and nothing is trimmed; a relative path is taken relative to the current
 * directory; ill-formed UTF-8 becomes U+FFFD. The mode is recorded even when there is no
 * path. A null `paths` does nothing: the pasteboard stays as it was. The caller's buffer
 * is not read after the call returns.
 */
TOLVEK_EXPORT void tolvek_clipboard_write_files(const char* paths, int32_t mode);

/*
 * The paths of the file URLs on the general pasteboard, in order, joined by single line
 * feeds with none after the last; the empty string when there are none. The text is newly
 * allocated and belongs to the caller, who releases it with tolvek_clipboard_free (never
 * with another allocator's free). Null only when the text cannot be allocated.
 */
TOLVEK_EXPORT char* tolvek_clipboard_read_files(void);

/* 1 when the mode on the general pasteboard is cut, else 0 (copy, or no mode). */
TOLVEK_EXPORT int32_t tolvek_clipboard_is_cut(void);

/* Releases text returned by tolvek_clipboard_read_files. Null is accepted and does nothing. */
TOLVEK_EXPORT void tolvek_clipboard_free(char* text);

#ifdef __cplusplus
} /* extern "C" */
#endif

#endif /* TOLVEK_H */
