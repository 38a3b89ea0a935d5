"""Writes the download page from the release's facts, the page's template and
the window's own texts, so the page says what the window says and gives the
files, hashes and thumbprint the release measured.

usage: download-page.py FACTS LAYOUT.h TEMPLATE.html OUT.html

FACTS has one fact a line, "KEY VALUE": "classic", "vista" and "root" are
followed by the file's name, size and SHA-256; "name", "thumbprint",
"subject", "valid" and "signer" (empty for an unsigned release) by their text.
A refusal is one line on stderr naming the file and what it lacks."""
import html
import re
import string
import sys

facts_path, layout_path, template_path, out_path = sys.argv[1:]


def refuse(path, why):
    sys.exit(f"{path}: {why}")


facts = {}
with open(facts_path, encoding="utf-8") as f:
    for line in f:
        key, _, value = line.rstrip("\n").partition(" ")
        facts[key] = value

# The texts as the window shows them: the C++ literals of app/Layout.h, with
# adjacent literals joined as the compiler joins them.
layout = open(layout_path, encoding="utf-8").read()


def literal_after(pattern, what):
    match = re.search(pattern + r'\s*((?:L"(?:[^"\\]|\\.)*"\s*)+)', layout)
    if not match:
        refuse(layout_path, f"holds no text for {what}")
    return "".join(re.findall(r'L"((?:[^"\\]|\\.)*)"', match.group(1))).strip()


def grouped(hex_digits):
    # Eight digits a group, as Windows shows a thumbprint; a phone can wrap it.
    return " ".join(hex_digits[i:i + 8] for i in range(0, len(hex_digits), 8))


values = {
    "caption": literal_after(r"kWindow\s*=\s*\{", "the window's caption"),
    "description": literal_after(r'\{"lblDesc",[^"]*', "lblDesc"),
    "reassurance": literal_after(r'\{"Label1",[^"]*', "Label1"),
}
for role in ("classic", "vista", "root"):
    parts = facts.get(role, "").split(" ")
    if len(parts) != 3:
        refuse(facts_path, f"has no name, size and SHA-256 for {role}")
    values[role], values[role + "_size"], values[role + "_sha256"] = parts[0], parts[1], grouped(parts[2])
for key in ("name", "thumbprint", "subject", "valid"):
    if not facts.get(key):
        refuse(facts_path, f"has no {key}")
    values[key] = facts[key]
if facts.get("signer"):
    values["signature"] = f"两个 exe 都有 Authenticode 数字签名，签名者：{facts['signer']}。"
else:
    values["signature"] = "两个 exe 没有数字签名：Windows 会显示它们来自未知发布者。"

template = string.Template(open(template_path, encoding="utf-8").read())
page = template.substitute({key: html.escape(value) for key, value in values.items()})
with open(out_path, "w", encoding="utf-8") as f:
    f.write(page)
