#!/usr/bin/env python3
"""Checks the #include lines of the host's layer folders against the layering rules.
Usage: check_layers.py SOURCE_ROOT. Prints each breach as file:line: rule N and exits 1 if
there is any, 0 if none, 2 when SOURCE_ROOT holds none of the layer folders."""
import os
import re
import sys

PLUGINS = ("device_info_plus", "path_provider_foundation", "package_info_plus", "file_picker",
           "irondash_engine_context", "super_native_extensions")
LAYER_DIRS = ("platform", "macos") + PLUGINS
SOURCE_SUFFIXES = (".h", ".hh", ".hpp", ".c", ".cc", ".cpp", ".cxx", ".inl", ".ipp")

# Host code may only use the C++ standard library and the ISO C headers; anything else in
# angle brackets (POSIX, Linux, third-party) must be reached through platform/.
# <signal.h>/<csignal> are left out on purpose: signal handling belongs to platform/.
CXX_HEADERS = set("""algorithm any array atomic barrier bit bitset charconv chrono compare complex
  concepts condition_variable coroutine deque exception execution expected filesystem flat_map
  flat_set format forward_list fstream functional future generator initializer_list iomanip ios
  iosfwd iostream istream iterator latch limits list locale map mdspan memory memory_resource
  mutex new numbers numeric optional ostream print queue random ranges ratio regex
  scoped_allocator semaphore set shared_mutex source_location span spanstream sstream stack
  stacktrace stdexcept stdfloat stop_token streambuf string string_view syncstream system_error
  text_encoding thread tuple type_traits typeindex typeinfo unordered_map unordered_set utility
  valarray variant vector version cassert cctype cerrno cfenv cfloat cinttypes climits clocale
  cmath csetjmp cstdarg cstddef cstdint cstdio cstdlib cstring ctime cuchar cwchar
  cwctype""".split())
C_HEADERS = {name + ".h" for name in """assert complex ctype errno fenv float inttypes iso646
  limits locale math setjmp stdalign stdarg stdatomic stdbit stdbool stdckdint stddef stdint
  stdio stdlib stdnoreturn string tgmath threads time uchar wchar wctype""".split()}
STANDARD_HEADERS = CXX_HEADERS | C_HEADERS

INCLUDE = re.compile(r'\s*#\s*include(?:_next)?\s*([<"])([^>"]+)[>"]')


def layer_of(rel):
    """The layer a root-relative path belongs to, or None outside the layers."""
    top, _, rest = rel.partition("/")
    if top == "macos":
        if rest.startswith("Flutter/codec/"):
            return "codec"
        return {"Runner": "runner", "Flutter": "flutter"}.get(rest.split("/")[0], "macos")
    if top == "platform":
        return "text" if rest.startswith("text/") else "platform"
    return "plugin:" + top if top in PLUGINS else None


def code_lines(text):
    """Yields (line number, line) with comments blanked, so commented-out includes are ignored."""
    in_block = False
    for number, line in enumerate(text.splitlines(), 1):
        out, i, quote = [], 0, None
        while i < len(line):
            pair, char = line[i:i + 2], line[i]
            if in_block:
                in_block, i = (False, i + 2) if pair == "*/" else (True, i + 1)
            elif quote:  # inside a string or character literal; a backslash escapes the next
                step = 2 if char == "\\" else 1
                out.append(line[i:i + step])
                i, quote = i + step, None if char == quote else quote
            elif pair == "//":
                break
            elif pair == "/*":
                in_block, i = True, i + 2
            else:
                quote = char if char in "\"'" else None
                out.append(char)
                i += 1
        yield number, "".join(out)


def resolve(root, includer, kind, name):
    """The root-relative path an in-tree include names, or None for a system header.
    A quoted name is looked up beside the includer first, as the compiler does."""
    bases = [root] if kind == "<" else [os.path.dirname(os.path.join(root, includer)), root]
    for base in bases:
        path = os.path.normpath(os.path.join(base, name))
        if os.path.isfile(path) and not os.path.relpath(path, root).startswith(".."):
            return os.path.relpath(path, root).replace(os.sep, "/")
    return None


def breach(src, kind, name, target):
    """The rule an include breaks, as text, or None when it is allowed."""
    dst = layer_of(target) if target else None
    host = src == "runner" or src.startswith("plugin:")
    if target is None and host and name not in STANDARD_HEADERS:
        shown = "<%s>" % name if kind == "<" else '"%s"' % name
        return ("rule 1: host code includes %s, not a C/C++ standard header nor a file in the "
                "tree; reach the system through platform/" % shown)
    if src == "platform" and dst and dst not in ("platform", "text"):
        return "rule 2: platform/ includes %s (macos/ and plug-ins are above it)" % target
    if src == "flutter" and dst and (dst == "runner" or dst.startswith("plugin:")):
        return "rule 3: macos/Flutter/ includes %s (macos/Runner/ and plug-ins are above it)" % target
    if src.startswith("plugin:") and target and dst not in ("platform", "text", "flutter", "codec",
                                                             src):
        return ("rule 4: plug-in %s includes %s; a plug-in sees only itself, platform/ and "
                "macos/Flutter/" % (src[7:], target))
    # The codec and the text it needs are linked alone (the Dart-side peer does): they see
    # the C/C++ standard headers, the text layer and, for the codec, itself.
    allowed = {"codec": ("codec", "text"), "text": ("text",)}.get(src)
    if allowed and (dst not in allowed if target else name not in STANDARD_HEADERS):
        shown = target or ("<%s>" % name if kind == "<" else '"%s"' % name)
        return ("rule 5: %s includes %s; macos/Flutter/codec/ sees only itself, platform/text/ "
                "and the C/C++ standard headers, platform/text/ only itself and those headers"
                % ("macos/Flutter/codec/" if src == "codec" else "platform/text/", shown))
    return None


def check(root):
    breaches = []
    for top in LAYER_DIRS:
        for folder, dirs, files in os.walk(os.path.join(root, top)):
            dirs[:] = sorted(d for d in dirs if not d.startswith("."))
            for file in sorted(f for f in files if f.endswith(SOURCE_SUFFIXES)):
                rel = os.path.relpath(os.path.join(folder, file), root).replace(os.sep, "/")
                src = layer_of(rel)
                with open(os.path.join(root, rel), encoding="utf-8", errors="replace") as f:
                    text = f.read()
                for number, line in code_lines(text):
                    match = INCLUDE.match(line)
                    problem = match and breach(src, *match.groups(),
                                               resolve(root, rel, *match.groups()))
                    if problem:
                        breaches.append("%s:%d: %s" % (rel, number, problem))
    return breaches


def main(argv):
    if len(argv) != 2:
        print("usage: check_layers.py SOURCE_ROOT", file=sys.stderr)
        return 2
    root = os.path.abspath(argv[1])
    if not any(os.path.isdir(os.path.join(root, d)) for d in LAYER_DIRS):
        print("check_layers: %s holds none of the layer folders" % root, file=sys.stderr)
        return 2
    breaches = check(root)
    print("\n".join(breaches), end="\n" if breaches else "")
    print("check_layers: %d breach(es)" % len(breaches), file=sys.stderr)
    return 1 if breaches else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
