#!/usr/bin/env python3
"""Compares the comment removal of `kxhost strip-comments` with gcc's on real headers.

    tools/compare-comments.py build/default/bin/kxhost /usr/include/*.h

A header agrees when both outputs hold the same C tokens in the same order and
the same preprocessing directives, each on a logical line of its own. gcc is
asked with -fpreprocessed -dD -E -P, which removes comments and keeps directives
(a #define is written back from its definition, so white space inside it may
differ; tokens do not). That mode does not join lines ended by a backslash, so
gcc is given the text with those lines already joined, as a C compiler joins
them before it looks for comments; and it consumes some pragmas (`#pragma
once`, `#pragma GCC system_header`), so pragmas are left out of both sides. Prints each header that disagrees with the
first difference, then the count.

One disagreement is expected and is ours: a comment between two tokens with
no white space around it (a/**/b) joins them, where C reads two tokens.
"""
import re
import subprocess
import sys

TOKEN = re.compile(
    r"""
      (?:u8|[uUL])?"(?:\\.|[^"\\\n])*"?       # string literal
    | (?:u8|[uUL])?'(?:\\.|[^'\\\n])*'?       # character literal
    | \.?[0-9](?:[eEpP][+-]|[\w.])*           # pp-number
    | [A-Za-z_$]\w*                          # identifier
    | %:%:|\.\.\.|<<=|>>=|->|\+\+|--|<<|>>|<=|>=|==|!=|&&|\|\||[-+*/%&|^!=<>]=|\#\#|<:|:>|<%|%>|%:
    | \S                                     # any other byte
    """,
    re.VERBOSE,
)


def logical_lines(text):
    return text.replace("\\\r\n", "").replace("\\\n", "").split("\n")


def tokens(text):
    return [t for line in logical_lines(text) for t in TOKEN.findall(line)]


def directives(text):
    found = []
    for line in logical_lines(text):
        line_tokens = TOKEN.findall(line)
        if line_tokens[:1] == ["#"]:
            found.append(line_tokens)
    return found


def first_difference(a, b):
    for i, (x, y) in enumerate(zip(a, b)):
        if x != y:
            return f"at {i}: {x!r} vs gcc {y!r}"
    return f"lengths {len(a)} vs gcc {len(b)}"


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    kxhost, headers = sys.argv[1], sys.argv[2:]
    agree = 0
    for header in headers:
        with open(header, "rb") as f:
            source = f.read()
        ours = subprocess.run([kxhost, "strip-comments"], input=source, capture_output=True,
                              check=True).stdout.decode("latin-1")
        spliced = source.replace(b"\\\r\n", b"").replace(b"\\\n", b"")
        gcc = subprocess.run(["gcc", "-fpreprocessed", "-dD", "-E", "-P", "-x", "c", "-"],
                             input=spliced, capture_output=True).stdout.decode("latin-1")
        ours, gcc = (re.sub(r"(?m)^[ \t]*#[ \t]*pragma\b.*$", "", t) for t in (ours, gcc))
        ours_tokens, gcc_tokens = tokens(ours), tokens(gcc)
        if ours_tokens != gcc_tokens:
            print(f"{header}: tokens differ {first_difference(ours_tokens, gcc_tokens)}")
        elif directives(ours) != directives(gcc):
            print(f"{header}: directives differ "
                  f"{first_difference(directives(ours), directives(gcc))}")
        else:
            agree += 1
    print(f"{agree} of {len(headers)} headers agree with gcc")


if __name__ == "__main__":
    main()
