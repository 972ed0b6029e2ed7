#!/usr/bin/env python3
"""Fails when a function of the program's own code is longer than the limit.

A function is counted from the line of its opening brace to the line of its
closing brace. Bodies are found by matching braces after a parameter list
(or a constructor's initialiser list); comments, strings and character
literals are skipped, so braces inside them do not count. Lambdas and local
classes count toward the function that holds them.
"""
import os
import re
import sys

LIMIT = 60
FOLDERS = ("framework", "support", "app")


def strip(text):
    """The text with comments, strings and character literals blanked, lines kept."""
    out = []
    i, n = 0, len(text)
    while i < n:
        c = text[i]
        if text.startswith("//", i):
            j = text.find("\n", i)
            j = n if j < 0 else j
            out.append(" " * (j - i))
            i = j
        elif text.startswith("/*", i):
            j = text.find("*/", i + 2)
            j = n if j < 0 else j + 2
            out.append(re.sub(r"[^\n]", " ", text[i:j]))
            i = j
        elif c == 'R' and text.startswith('R"', i) and (i == 0 or not (text[i - 1].isalnum() or text[i - 1] == "_")):
            m = re.match(r'R"([^(\s]*)\(', text[i:])
            end = text.find(")" + m.group(1) + '"', i) if m else -1
            j = n if end < 0 else end + len(m.group(1)) + 2
            out.append(re.sub(r"[^\n]", " ", text[i:j]))
            i = j
        elif c in "\"'":
            j = i + 1
            while j < n and text[j] != c and text[j] != "\n":
                j += 2 if text[j] == "\\" else 1
            j = min(j + 1, n)
            out.append(" " * (j - i))
            i = j
        else:
            out.append(c)
            i += 1
    return "".join(out)


def functions(text):
    """(name, first line, last line) of every function body at namespace or class level."""
    code = strip(text)
    found = []
    stack = []  # kinds of the open braces: "scope" or "body"
    body_start = None
    i, n = 0, len(code)
    while i < n:
        c = code[i]
        if c == "{":
            if body_start is None:
                head = code[max(0, i - 400):i]
                last = head.rstrip()
                # A body follows a parameter list, a qualifier, or an initialiser list.
                is_body = bool(re.search(r"\)\s*(const|override|final|noexcept|mutable|->\s*[\w:<>,\s*&]+|\s)*$", head)) \
                    or bool(re.search(r"\)\s*(const\s*)?(override|final|noexcept)?\s*:\s*[\s\S]*\)\s*$", last) and "(" in last)
                is_body = is_body and not re.search(r"\b(namespace|class|struct|enum|union)\b[^;{}]*$", head)
                if is_body:
                    m = re.search(r"([~\w:]+)\s*\([^()]*(\([^()]*\)[^()]*)*\)[^(){};]*$", head)
                    body_start = (m.group(1) if m else "?", code.count("\n", 0, i) + 1, len(stack))
                    stack.append("body")
                else:
                    stack.append("scope")
            else:
                stack.append("inner")
        elif c == "}":
            if stack:
                stack.pop()
            if body_start is not None and len(stack) == body_start[2]:
                found.append((body_start[0], body_start[1], code.count("\n", 0, i) + 1))
                body_start = None
        i += 1
    return found


def main(root):
    long_ones = []
    for folder in FOLDERS:
        for top, _, files in os.walk(os.path.join(root, folder)):
            for name in sorted(files):
                if not name.endswith((".cpp", ".h")):
                    continue
                path = os.path.join(top, name)
                with open(path, encoding="utf-8", errors="replace") as f:
                    text = f.read()
                for func, first, last in functions(text):
                    lines = last - first + 1
                    if lines > LIMIT:
                        long_ones.append((os.path.relpath(path, root), first, func, lines))
    for path, first, func, lines in long_ones:
        print(f"{path}:{first}: {func} is {lines} lines long (at most {LIMIT})")
    return 1 if long_ones else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..")))
