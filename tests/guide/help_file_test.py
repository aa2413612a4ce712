#!/usr/bin/env python3
"""Reads the built Tessaro.chm back (extract_chmLib) and checks it against the program:

- every dialog of the authoring program's resource scripts carries a help number whose string names a topic,
  and every topic that a string resource or the program's code names is in the help file;
- the table of contents and the index are in it, list every topic, and point only at files that are there;
- no topic is a stub (a minimum of real text), and every link or picture of a topic is in the help file.

    help_file_test.py SOURCE_ROOT TESSARO.chm
"""
import html
import os
import re
import subprocess
import sys
import tempfile

MIN_WORDS = 120
# Dialogs of the scripts that no window of the authoring program shows, with the reason.
NOT_SHOWN = {"IDD_QUESTION_BOX": "the setup program's question box, included with the folder chooser"}
# Dialogs whose one template serves several kinds, each kind with a help number of its own.
HELP_NUMBERS = {"IDD_ITEM_CHOOSER": ["IDS_CHOOSE_FILE", "IDS_CHOOSE_FOLDER", "IDS_CHOOSE_KEY", "IDS_CHOOSE_VALUE"]}

failures = []


def fail(text):
    failures.append(text)


def rc_string(literal):
    """The text of a resource-script string literal (without its quotes)."""
    out, i = [], 0
    while i < len(literal):
        c = literal[i]
        if c == "\\" and i + 1 < len(literal):
            n = literal[i + 1]
            out.append({"n": "\n", "t": "\t", "\\": "\\", '"': '"'}.get(n, "\\" + n))
            i += 2
        elif c == '"' and literal[i + 1:i + 2] == '"':
            out.append('"')
            i += 2
        else:
            out.append(c)
            i += 1
    return "".join(out)


def read_scripts(root, script, dialogs, strings, seen):
    """Collects the dialog names and string-table entries of a script and the scripts it includes."""
    path = os.path.join(root, script)
    if path in seen:
        return
    seen.add(path)
    with open(path, encoding="latin-1") as f:
        text = f.read()
    for include in re.findall(r'^#include\s+"([^"]+\.rc)"', text, re.M):
        read_scripts(root, include, dialogs, strings, seen)
    dialogs.update(re.findall(r"^(\w+)\s+DIALOG(?:EX)?\b", text, re.M))
    for table in re.findall(r"^STRINGTABLE\b.*?^BEGIN\s*$(.*?)^END\s*$", text, re.M | re.S):
        for name, literal in re.findall(r'^\s*(\w+)\s*,?\s*"((?:[^"]|"")*)"', table, re.M):
            strings[name] = rc_string(literal)


def topic_of_string(text):
    lines = text.split("\n")
    return lines[2] if len(lines) >= 3 else ""


def code_topics(root):
    """Topics named literally in the authoring program's code (e.g. the Help menu's own topic)."""
    topics = set()
    for folder, _, files in os.walk(os.path.join(root, "author")):
        for name in files:
            if name.endswith((".cpp", ".h")):
                with open(os.path.join(folder, name), encoding="latin-1") as f:
                    topics.update(re.findall(r'"([\w\\/.-]+\.htm)"', f.read()))
    return topics


def sitemap_locals(text):
    return [html.unescape(v) for v in re.findall(r'<param name="Local" value="([^"]*)"', text, re.I)]


def words_of(page):
    body = re.sub(r"(?is)<(script|style|title)\b.*?</\1>", " ", page)
    body = re.sub(r"<[^>]+>", " ", body)
    return re.findall(r"[A-Za-z][A-Za-z'-]+", html.unescape(body))


def in_chm(files, topic):
    return topic.replace("\\", "/").lstrip("/") in files


def main(root, chm):
    if not os.path.isfile(chm):
        print("FAIL: %s was not built (chmcmd, cmark-gfm and python3 are needed: scripts/install-deps)" % chm)
        return 1
    with tempfile.TemporaryDirectory() as out:
        run = subprocess.run(["extract_chmLib", chm, out], capture_output=True, text=True, check=False)
        if run.returncode != 0:
            print("FAIL: extract_chmLib cannot read %s: %s" % (chm, run.stderr.strip()))
            return 1
        files = set()
        for folder, _, names in os.walk(out):
            for name in names:
                files.add(os.path.relpath(os.path.join(folder, name), out).replace(os.sep, "/"))

        def read(rel):
            with open(os.path.join(out, rel), encoding="windows-1252", errors="replace") as f:
                return f.read()

        # Every window's help number names a topic, and every topic named is in the help file.
        dialogs, strings = set(), {}
        read_scripts(root, "author/Tessaro.rc", dialogs, strings, set())
        if len(dialogs) < 10:
            fail("only %d dialogs found in the resource scripts" % len(dialogs))
        named = {}
        for dialog in sorted(dialogs - set(NOT_SHOWN)):
            for number in HELP_NUMBERS.get(dialog, [dialog]):
                topic = topic_of_string(strings.get(number, ""))
                if not topic:
                    fail("%s: no string %s naming its help topic (third line)" % (dialog, number))
                else:
                    named[topic] = number
        for number, text in strings.items():
            if topic_of_string(text):
                named.setdefault(topic_of_string(text), number)
        for topic in code_topics(root):
            named.setdefault(topic, "the program's code")
        for topic, source in sorted(named.items()):
            if not in_chm(files, topic):
                fail("topic %s (named by %s) is not in the help file" % (topic, source))

        # Contents and index.
        topics = sorted(f for f in files if f.endswith(".htm"))
        for sitemap in ("Tessaro.hhc", "Tessaro.hhk"):
            if sitemap not in files:
                fail("the help file has no %s" % sitemap)
                continue
            locals_ = sitemap_locals(read(sitemap))
            for local in locals_:
                if not in_chm(files, local):
                    fail("%s points at %s, which is not in the help file" % (sitemap, local))
            listed = {l.replace("\\", "/") for l in locals_}
            for topic in topics:
                if topic not in listed:
                    fail("%s does not list %s" % (sitemap, topic))
        if "Tessaro.hhk" in files:
            entries = len(re.findall(r'type="text/sitemap"', read("Tessaro.hhk"), re.I))
            if entries < 3 * len(topics):
                fail("the index has %d entries for %d topics" % (entries, len(topics)))

        # No stubs; links and pictures resolve inside the help file.
        for topic in topics:
            page = read(topic)
            count = len(words_of(page))
            if count < MIN_WORDS:
                fail("%s holds %d words, fewer than %d" % (topic, count, MIN_WORDS))
            for target in re.findall(r'(?:href|src)="([^"#:]+)', page):
                resolved = os.path.normpath(os.path.join(os.path.dirname(topic), target)).replace(os.sep, "/")
                if resolved not in files:
                    fail("%s links to %s, which is not in the help file" % (topic, target))

        print("%d dialogs, %d topics named by the program, %d topics in the help file" %
              (len(dialogs), len(named), len(topics)))
    for text in failures:
        print("FAIL: " + text)
    return 1 if failures else 0


if __name__ == "__main__":
    if len(sys.argv) != 3:
        print(__doc__.strip(), file=sys.stderr)
        sys.exit(2)
    sys.exit(main(sys.argv[1], sys.argv[2]))
