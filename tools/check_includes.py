#!/usr/bin/env python3
"""Fails when the sources' includes run in a loop.

A file and its header are one unit (Controls.h and Controls.cpp are "framework/Controls"): a
unit that reaches itself again through the includes of its files cannot be understood, built
or changed on its own. Two checks:
  - units of one folder form no loop;
  - folders form no loop (a folder never includes, directly or through others, one that
    includes it).
Includes are written relative to the source root ("skin/SkinData.h"); others are ignored.

Usage: check_includes.py [SOURCE_ROOT]   (default: the src folder beside this script's parent)
Prints every loop found and exits 1 when there is one outside the allowed list.
"""
import os
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.MULTILINE)
SOURCE_SUFFIXES = ('.h', '.hpp', '.cpp', '.cc', '.inl')

# Loops tolerated while a piece of work takes them apart (none today); each entry is the exact set
# of units of one loop, so that a loop that grows fails as a new one does.
ALLOWED_UNIT_LOOPS = []


def unit_of(path):
    return os.path.splitext(path)[0].replace(os.sep, '/')


def read_graph(root):
    """Unit graph: unit -> set of units its files include (within the root)."""
    files = []
    for folder, _, names in os.walk(root):
        for name in names:
            if name.endswith(SOURCE_SUFFIXES):
                files.append(os.path.relpath(os.path.join(folder, name), root))
    known = {f.replace(os.sep, '/') for f in files}
    graph = {}
    for rel in sorted(files):
        unit = unit_of(rel)
        targets = graph.setdefault(unit, set())
        with open(os.path.join(root, rel), encoding='utf-8', errors='replace') as f:
            text = f.read()
        for target in INCLUDE.findall(text):
            if target in known and unit_of(target) != unit:
                targets.add(unit_of(target))
    return graph


def strongly_connected(graph):
    """Tarjan's algorithm, iterative; returns the components of more than one node."""
    index, low, on_stack, stack, result = {}, {}, set(), [], []
    counter = 0
    for start in sorted(graph):
        if start in index:
            continue
        work = [(start, iter(sorted(graph.get(start, ()))))]
        index[start] = low[start] = counter
        counter += 1
        stack.append(start)
        on_stack.add(start)
        while work:
            node, children = work[-1]
            advanced = False
            for child in children:
                if child not in index:
                    index[child] = low[child] = counter
                    counter += 1
                    stack.append(child)
                    on_stack.add(child)
                    work.append((child, iter(sorted(graph.get(child, ())))))
                    advanced = True
                    break
                if child in on_stack:
                    low[node] = min(low[node], index[child])
            if advanced:
                continue
            work.pop()
            if work:
                parent = work[-1][0]
                low[parent] = min(low[parent], low[node])
            if low[node] == index[node]:
                component = []
                while True:
                    member = stack.pop()
                    on_stack.discard(member)
                    component.append(member)
                    if member == node:
                        break
                if len(component) > 1:
                    result.append(sorted(component))
    return sorted(result)


def folder_of(unit):
    return unit.rsplit('/', 1)[0] if '/' in unit else '.'


def folder_graph(graph):
    folders = {}
    for unit, targets in graph.items():
        edges = folders.setdefault(folder_of(unit), set())
        for target in targets:
            if folder_of(target) != folder_of(unit):
                edges.add(folder_of(target))
    return folders


def unit_loops(graph):
    """Loops among the units of each folder, counting only includes inside that folder."""
    local = {unit: {t for t in targets if folder_of(t) == folder_of(unit)}
             for unit, targets in graph.items()}
    return strongly_connected(local)


def folder_edges_in(component, folders):
    members = set(component)
    return sorted((a, b) for a in component for b in folders.get(a, ()) if b in members)


def main(argv):
    root = argv[1] if len(argv) > 1 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), '..', 'src')
    graph = read_graph(root)
    failed = False
    for component in unit_loops(graph):
        allowed = set(component) in ALLOWED_UNIT_LOOPS
        failed |= not allowed
        print('%s unit loop (%d): %s' % ('allowed' if allowed else 'FAIL', len(component),
                                        ' '.join(component)))
    folders = folder_graph(graph)
    for component in strongly_connected(folders):
        failed = True
        edges = folder_edges_in(component, folders)
        print('FAIL folder loop: %s' % ' '.join(component))
        for a, b in edges:
            culprits = sorted('%s -> %s' % (u, t) for u, ts in graph.items() if folder_of(u) == a
                              for t in ts if folder_of(t) == b)
            print('    %s -> %s: %s' % (a, b, ', '.join(culprits)))
    print('include loops: %s' % ('found' if failed else 'none outside the allowed ones'))
    return 1 if failed else 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
