#!/usr/bin/env python3
"""Checks the shipped help and tips documents against the way the viewer
finds topics in them and against the program's help topic map.

Usage: help_documents_test.py SOURCE_DIR
"""
import re
import sys
from pathlib import Path

# The viewer's index keeps one 32-bit slot per topic in a fixed-size file.
HIGHEST_TOPIC = 32767
# The index builder reads lines in pieces of this size; a longer line could
# split a marker.
LONGEST_LINE = 1000
HEAD_LIMIT = 30000
FEWEST_TIPS = 9


def markers(text):
    """(position, number) of every topic marker, by the viewer's rule: '#'
    and a digit, unless a double quote, '=' or ':' stands right before the
    '#', or ':' two characters before it."""
    found = []
    for match in re.finditer(r"#(\d+)", text):
        at = match.start()
        before = text[at - 1] if at >= 1 else ""
        two_before = text[at - 2] if at >= 2 else ""
        if before in ('"', "=", ":") or two_before == ":":
            continue
        found.append((at, int(match.group(1))))
    return found


def looks_like_utf8(raw):
    """Accented Windows-1252 text almost never forms valid UTF-8 sequences,
    while a UTF-8 file decodes as Windows-1252 without error."""
    try:
        raw.decode("utf-8", errors="strict")
        return True
    except UnicodeDecodeError:
        return False


def map_topics(tables_source):
    """The topic numbers of the program's help map table."""
    block = re.search(r"kHelpTopics\[\]\s*=\s*\{(.*?)\};", tables_source, re.S)
    if not block:
        raise SystemExit("help topic map not found in app/startup_tables.cpp")
    pairs = re.findall(r"\{\s*(\d+)\s*,\s*(\d+)\s*\}", block.group(1))
    if not pairs:
        raise SystemExit("help topic map is empty")
    return {int(topic) for _, topic in pairs}


def language_codes(source_dir):
    codes = []
    for path in sorted((source_dir / "lang" / "src").glob("lang_*.txt")):
        line = re.search(rb"^lang=(\w+)", path.read_bytes(), re.M)
        if line:
            codes.append(line.group(1).decode("ascii"))
    return codes


class Document:
    def __init__(self, path, problems):
        self.path = path
        self.problems = problems
        raw = b""
        if path.exists():
            raw = path.read_bytes()
        else:
            self.fail("missing")
        if not raw.isascii() and looks_like_utf8(raw):
            self.fail("UTF-8 text where Windows-1252 is wanted")
        try:
            self.text = raw.decode("cp1252", errors="strict")
        except UnicodeDecodeError as error:
            self.fail(f"not Windows-1252: {error}")
            self.text = raw.decode("cp1252", errors="replace")
        self.found = markers(self.text)
        self.topics = [number for _, number in self.found]

    def fail(self, message):
        self.problems.append(f"{self.path.name}: {message}")

    def check_form(self):
        text = self.text
        body = text.lower().find("<body")
        if body < 0:
            self.fail("no <body> tag ends the head")
            return
        head = text[:body]
        if len(head) > HEAD_LIMIT:
            self.fail("head longer than the viewer keeps")
        if not re.search(r"charset\s*=\s*[\"']?windows-1252", head, re.I):
            self.fail("head declares no windows-1252 charset")
        if not self.found:
            self.fail("no topics")
            return
        if self.found[0][0] < body:
            self.fail("a topic marker stands in the head")
        if self.topics[0] > 999:
            self.fail("the first topic number has more than three digits")
        for at, number in self.found:
            if at > 0 and text[at - 1] != "\n":
                line = text.count("\n", 0, at) + 1
                self.fail(f"marker #{number} on line {line} does not begin its line")
            if number > HIGHEST_TOPIC:
                self.fail(f"topic {number} is above {HIGHEST_TOPIC}")
        for number in sorted({n for n in self.topics if self.topics.count(n) > 1}):
            self.fail(f"topic {number} has {self.topics.count(number)} markers")
        for match in re.finditer(r"//", text):
            if match.start() == 0 or text[match.start() - 1] != ":":
                line = text.count("\n", 0, match.start()) + 1
                self.fail(f"'//' outside an address on line {line} would end a topic")
        for number, line in enumerate(text.split("\n"), 1):
            if len(line.encode("cp1252", errors="replace")) > LONGEST_LINE:
                self.fail(f"line {number} is longer than {LONGEST_LINE} bytes")
        for target in re.findall(r"href=\"#(\d+)\"", text, re.I):
            if int(target) not in self.topics:
                self.fail(f"link to missing topic {target}")


def main():
    source_dir = Path(sys.argv[1])
    problems = []
    wanted = map_topics((source_dir / "app" / "startup_tables.cpp").read_text())
    help_dir = source_dir / "help"

    english_help = Document(help_dir / "help.htm", problems)
    english_tips = Document(help_dir / "tips.htm", problems)
    variants = []
    for code in language_codes(source_dir):
        for name in ("help", "tips"):
            path = help_dir / "lang" / f"{name}_{code}.htm"
            if not path.exists():
                problems.append(f"{path.name}: missing for language {code}")
                continue
            english = english_help if name == "help" else english_tips
            variants.append((Document(path, problems), english))

    for document in [english_help, english_tips] + [v for v, _ in variants]:
        document.check_form()

    for number in sorted(wanted - set(english_help.topics)):
        english_help.fail(f"no topic for help map topic {number}")

    tips = english_tips.topics
    if tips != list(range(1, len(tips) + 1)):
        english_tips.fail(f"tips are not numbered 1..N in order: {tips}")
    if len(tips) < FEWEST_TIPS:
        english_tips.fail(f"only {len(tips)} tips, at least {FEWEST_TIPS} wanted")

    for variant, english in variants:
        if variant.topics != english.topics:
            missing = sorted(set(english.topics) - set(variant.topics))
            extra = sorted(set(variant.topics) - set(english.topics))
            variant.fail(f"topics differ from {english.path.name}: "
                         f"missing {missing}, extra {extra}, or in another order")
        if variant.text.isascii():
            variant.fail("holds no accented letters: is it translated?")

    for problem in problems:
        print(problem)
    print(f"{len(problems)} problem(s) in the help documents")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
