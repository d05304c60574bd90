#!/usr/bin/env python3
"""Each library folder reads from its base up.

Reads every folder's kv_add_library(NAME [DIR SUB] LINKS ...) and the #include lines of
its files, and fails, naming what it found, on
- files that include each other, directly or round a loop; a file is its .h and .cpp
  together, so Foo.cpp including Bar.h and Bar.h including Foo.h is a loop;
- an include of a library the folder does not link, directly or through a library it
  links: another folder's file, a Qt module's header, sqlite3.h, xcb.

Usage: check_includes.py SOURCE_DIR QT_HEADERS_DIR
"""

import os
import re
import sys
from collections import deque

SKIPPED_DIRS = {".git", "build", "tests", "bench", "cmake"}
LIBRARY_CALL = re.compile(r"kv_add_library\s*\(([^)]*)\)")
INCLUDE_LINE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]', re.MULTILINE)
# Libraries other than Qt, by the headers they bring.
OTHER_LIBRARY_HEADERS = {"SQLite::SQLite3": re.compile(r"sqlite3\.h$"), "xcb": re.compile(r"xcb/")}


def read(path):
    with open(path, encoding="utf-8") as f:
        return f.read()


def libraries(root):
    """{folder: (library, [links])} from every kv_add_library() of the source tree."""
    found = {}
    for dirpath, dirnames, filenames in os.walk(root):
        dirnames[:] = sorted(d for d in dirnames if d not in SKIPPED_DIRS)
        if "CMakeLists.txt" not in filenames:
            continue
        text = re.sub(r"#.*", "", read(os.path.join(dirpath, "CMakeLists.txt")))
        for call in LIBRARY_CALL.finditer(text):
            words = call.group(1).split()
            name, folder, links, key = words[0], os.path.relpath(dirpath, root), [], None
            for word in words[1:]:
                if word in ("DIR", "LINKS"):
                    key = word
                elif key == "DIR":
                    folder = os.path.normpath(os.path.join(folder, word))
                elif key == "LINKS":
                    links.append(word)
            found[folder] = (name, links)
    return found


def qt_modules(qt_headers):
    """{header name: Qt6::Module} and {Qt6::Module: [modules it depends on]}."""
    header_module, depends = {}, {}
    for entry in sorted(os.listdir(qt_headers)):
        module_dir = os.path.join(qt_headers, entry)
        if not entry.startswith("Qt") or not os.path.isdir(module_dir):
            continue
        module = "Qt6::" + entry[2:]
        for header in os.listdir(module_dir):
            header_module.setdefault(header, module)
            header_module.setdefault(entry + "/" + header, module)
        depends_file = os.path.join(module_dir, entry + "Depends")
        text = read(depends_file) if os.path.exists(depends_file) else ""
        depends[module] = ["Qt6::" + m[2:] for m in re.findall(r"<(Qt\w+)/", text) if m != entry]
    return header_module, depends


def linked(library, by_name, qt_depends):
    """Every library that `library` links, itself and through the others."""
    seen, todo = {library}, [library]
    while todo:
        current = todo.pop()
        following = by_name[current][1] if current in by_name else qt_depends.get(current, [])
        for link in following:
            if link not in seen:
                seen.add(link)
                todo.append(link)
    return seen


def shortest_loop(start, edges, within):
    """The shortest path from start back to itself inside `within`."""
    previous, queue = {}, deque([start])
    while queue:
        node = queue.popleft()
        for nxt in sorted(edges.get(node, ())):
            if nxt not in within:
                continue
            if nxt == start:
                path = [node]
                while path[-1] != start:
                    path.append(previous[path[-1]])
                return list(reversed(path)) + [start]
            if nxt not in previous:
                previous[nxt] = node
                queue.append(nxt)
    return None


def strongly_connected(edges):
    """Tarjan's components of the include graph."""
    index, low, stack, on_stack, components = {}, {}, [], set(), []

    def visit(node):
        index[node] = low[node] = len(index)
        stack.append(node)
        on_stack.add(node)
        for nxt in sorted(edges.get(node, ())):
            if nxt not in index:
                visit(nxt)
                low[node] = min(low[node], low[nxt])
            elif nxt in on_stack:
                low[node] = min(low[node], index[nxt])
        if low[node] == index[node]:
            component = set()
            while True:
                member = stack.pop()
                on_stack.discard(member)
                component.add(member)
                if member == node:
                    break
            components.append(component)

    for node in sorted(edges):
        if node not in index:
            visit(node)
    return components


def main(root, qt_headers):
    sys.setrecursionlimit(10000)
    folders = libraries(root)
    by_name = {name: (folder, links) for folder, (name, links) in folders.items()}
    header_module, qt_depends = qt_modules(qt_headers)
    problems, edges, why = [], {}, {}

    for folder, (library, _) in sorted(folders.items()):
        reach = linked(library, by_name, qt_depends)
        for entry in sorted(os.listdir(os.path.join(root, folder))):
            if not entry.endswith((".h", ".cpp")):
                continue
            path = os.path.join(folder, entry)
            unit = os.path.splitext(path)[0]
            for kind, target in INCLUDE_LINE.findall(read(os.path.join(root, path))):
                if kind == '"' and os.path.isfile(os.path.join(root, target)):
                    target_folder = os.path.dirname(target)
                    target_library = folders.get(target_folder, (None,))[0]
                    if target_library != library and target_library not in reach:
                        problems.append(f"{path} includes {target}, but {library} does not link "
                                        f"{target_library or 'the folder ' + target_folder}")
                    target_unit = os.path.splitext(target)[0]
                    if target_unit != unit:
                        edges.setdefault(unit, set()).add(target_unit)
                        why.setdefault((unit, target_unit), f"{path} includes {target}")
                    continue
                needed = header_module.get(target)
                if needed is None:
                    needed = next((lib for lib, pattern in OTHER_LIBRARY_HEADERS.items()
                                   if pattern.search(target)), None)
                if needed and needed not in reach:
                    problems.append(f"{path} includes <{target}>, but {library} does not link "
                                    f"{needed}")

    for component in strongly_connected(edges):
        if len(component) < 2:
            continue
        loops = []
        for start in sorted(component):
            loop = shortest_loop(start, edges, component)
            turned = loop[:-1]
            first = turned.index(min(turned))
            loop = turned[first:] + turned[:first] + [turned[first]]
            if loop not in loops:
                loops.append(loop)
        for loop in loops:
            steps = "; ".join(why[(a, b)] for a, b in zip(loop, loop[1:]))
            problems.append(f"include loop {' -> '.join(loop)} ({steps})")

    for problem in problems:
        print(problem)
    if problems:
        print(f"{len(problems)} include problem(s)")
        return 1
    print(f"{len(folders)} library folders read from their base up")
    return 0


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    sys.exit(main(sys.argv[1], sys.argv[2]))
