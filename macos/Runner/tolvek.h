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
 * Window control: the application's one main window.
 *
 * Thread rule. Callable from any thread. All work on the window runs on the main thread:
 * - a command called on the main thread runs there at once; called from any other thread
 *   it is queued to the main thread and returns at once, before it has run, telling the
 *   caller nothing of its outcome. Commands from one thread run in the order issued.
 * - a query called on the main thread runs at once; from any other thread it blocks until
 *   the main thread has run it, after every command that thread issued before it. Do not
 *   query from a thread the main thread is waiting on.
 * Before the main window exists, commands do nothing and queries return their default.
 * Arguments are copied when the function is called: the caller's memory is never read
 * after the function returns.
 */

/* Command: shows the window, makes it key and brings it to the front. */
TOLVEK_EXPORT void tolvek_window_show(void);

/* Command: hides the window (it stays the main window and can be shown again). */
TOLVEK_EXPORT void tolvek_window_hide(void);

/* Command: minimizes the window to the Dock. */
TOLVEK_EXPORT void tolvek_window_minimize(void);

/* Command: zooms the window unless it is zoomed already (calling it twice never unzooms). */
TOLVEK_EXPORT void tolvek_window_maximize(void);

/* Command: brings a minimized window back, then unzooms a zoomed one. */
TOLVEK_EXPORT void tolvek_window_restore(void);

/* Command: asks the window to close; the main window then hides instead of closing. */
TOLVEK_EXPORT void tolvek_window_close(void);

/*
 * Command: starts a user drag of the window with the event the application is handling
 * when the work runs on the main thread (not the event current at the call); with no
 * current event it does nothing. Call it while handling a mouse press.
 */
TOLVEK_EXPORT void tolvek_window_start_dragging(void);

/* Command: centres the window on its screen. */
TOLVEK_EXPORT void tolvek_window_center(void);

/* Query: 1 if the window is zoomed, else 0. Default 0. */
TOLVEK_EXPORT int32_t tolvek_window_is_maximized(void);

/* Query: 1 if the window is visible, else 0. Default 0. */
TOLVEK_EXPORT int32_t tolvek_window_is_visible(void);

/*
 * Command: gives the window's frame this width and height in points, keeping its left and
 * top edges; it grows or shrinks to the right and downward. A width or height below 1
 * leaves the frame as it is; larger values are not clamped.
 */
TOLVEK_EXPORT void tolvek_window_set_size(int32_t width, int32_t height);

/*
 * Query: the window's frame size in points (title bar included), each truncated toward
 * zero; a dimension that no int32_t holds is saturated (NaN gives 0). Either pointer may
 * be null, which skips that output. Default: 0 by 0.
 */
TOLVEK_EXPORT void tolvek_window_get_size(int32_t* width, int32_t* height);

/* Command: sets the window's minimum frame size in points; a negative value counts as 0. */
TOLVEK_EXPORT void tolvek_window_set_min_size(int32_t width, int32_t height);

/*
 * Command: sets the window's title. Null changes nothing. Ill-formed UTF-8 is taken with
 * U+FFFD in place of each maximal ill-formed subpart. The caller may free the buffer as
 * soon as the call returns.
 */
TOLVEK_EXPORT void tolvek_window_set_title(const char* title);

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
 * is not read after the call returns. The list cannot carry a file name that holds a line
 * feed: a lone line feed always separates, and a path that keeps one inside a carriage
 * return and line feed is written but never read back (see tolvek_clipboard_read_files).
 */
TOLVEK_EXPORT void tolvek_clipboard_write_files(const char* paths, int32_t mode);

/*
 * The paths of the file URLs on the general pasteboard, in order, joined by single line
 * feeds with none after the last; the empty string when there are none. A file URL whose
 * path holds a line feed, or whose path is empty ("file:", "file://localhost"), is
 * skipped: splitting it would hand out a file that was never put there. The text is newly
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
