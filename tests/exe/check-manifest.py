#!/usr/bin/env python3
"""Checks an application manifest for what every Windows that loads the exe
needs of it. usage: check-manifest.py MANIFEST-FILE"""
import sys
import xml.dom.minidom

ASM_V1 = "urn:schemas-microsoft-com:asm.v1"
TRUST_NAMESPACES = ("urn:schemas-microsoft-com:asm.v2", "urn:schemas-microsoft-com:asm.v3")

failures = 0


def check(condition, what, seen=""):
    global failures
    if condition:
        print(f"ok: {what}")
    else:
        failures += 1
        print(f"FAIL: {what}: saw {seen}")


def elements(node):
    for child in node.childNodes:
        if child.nodeType == child.ELEMENT_NODE:
            yield child
            yield from elements(child)


def declarations(element):
    """The namespace URIs an element declares, one entry per xmlns attribute."""
    return [a.value for a in element.attributes.values()
            if a.name == "xmlns" or a.name.startswith("xmlns:")]


try:
    document = xml.dom.minidom.parse(sys.argv[1])
except Exception as error:  # a manifest Windows cannot parse stops the program
    print(f"FAIL: the manifest parses as XML: {error}")
    sys.exit(1)

root = document.documentElement
everything = [root] + list(elements(root))
check(root.localName == "assembly" and root.namespaceURI == ASM_V1
      and root.getAttribute("manifestVersion") == "1.0",
      "the root is an asm.v1 assembly of manifest version 1.0",
      f"{root.namespaceURI} {root.localName}")

twice = [f"{e.tagName} declares {d}" for e in everything
         for d in set(declarations(e)) if declarations(e).count(d) > 1]
check(not twice, "no element declares one namespace twice (KB 921337)", "; ".join(twice))

trust = [e for e in everything if e.localName == "trustInfo"]
check(len(trust) == 1, "exactly one trustInfo", len(trust))
for t in trust:
    check(t.namespaceURI in TRUST_NAMESPACES, "trustInfo in asm.v2 or asm.v3, never asm.v1",
          t.namespaceURI)
    check(len(declarations(t)) == 1, "trustInfo carries exactly one namespace declaration",
          declarations(t))

levels = [e for e in everything if e.localName == "requestedExecutionLevel"]
check([(e.getAttribute("level"), e.getAttribute("uiAccess")) for e in levels]
      == [("asInvoker", "false")],
      "one requestedExecutionLevel, asInvoker without uiAccess",
      [(e.getAttribute("level"), e.getAttribute("uiAccess")) for e in levels])

controls = [e for e in everything if e.localName == "assemblyIdentity"
            and e.getAttribute("name") == "Microsoft.Windows.Common-Controls"]
check(not controls and not [e for e in everything if e.localName == "dependency"],
      "no dependency, Common Controls 6 least of all", [e.toxml() for e in controls])
for name in ("supportedOS", "dpiAware", "dpiAwareness"):
    found = [e for e in everything if e.localName == name]
    check(not found, f"no {name}", [e.toxml() for e in found])

print(f"manifest: {failures} failed")
sys.exit(1 if failures else 0)
