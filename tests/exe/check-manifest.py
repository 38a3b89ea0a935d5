#!/usr/bin/env python3
"""Checks an application manifest for what every Windows that loads the exe
needs of it, and for what its edition asks of Windows: the classic nothing
beyond asInvoker, the Vista edition (--vista) Common Controls 6, every
Windows from Vista to 11 as supported, and per-monitor DPI awareness.
usage: check-manifest.py [--vista] MANIFEST-FILE"""
import sys
import xml.dom.minidom

ASM_V1 = "urn:schemas-microsoft-com:asm.v1"
TRUST_NAMESPACES = ("urn:schemas-microsoft-com:asm.v2", "urn:schemas-microsoft-com:asm.v3")
ASM_V3 = "urn:schemas-microsoft-com:asm.v3"
COMPATIBILITY = "urn:schemas-microsoft-com:compatibility.v1"
SETTINGS_2005 = "http://schemas.microsoft.com/SMI/2005/WindowsSettings"
SETTINGS_2016 = "http://schemas.microsoft.com/SMI/2016/WindowsSettings"
SUPPORTED_OS = {  # Vista, 7, 8, 8.1, 10 and 11
    "{e2011457-1546-43c5-a5fe-008deee3d3f0}", "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",
    "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}", "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",
    "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"}

vista = sys.argv[1:2] == ["--vista"]
path = sys.argv[-1]

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
    document = xml.dom.minidom.parse(path)
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
dependencies = [e for e in everything if e.localName == "dependency"]


def texts(name, namespace):
    return [e.firstChild.data.strip() if e.firstChild else "" for e in everything
            if e.localName == name and e.namespaceURI == namespace]


if not vista:
    check(not controls and not dependencies,
          "no dependency, Common Controls 6 least of all", [e.toxml() for e in controls])
    for name in ("supportedOS", "dpiAware", "dpiAwareness"):
        found = [e for e in everything if e.localName == name]
        check(not found, f"no {name}", [e.toxml() for e in found])
else:
    identity = [(e.getAttribute("type"), e.getAttribute("version"), e.getAttribute("publicKeyToken"))
                for e in controls]
    check(len(dependencies) == 1 and identity == [("win32", "6.0.0.0", "6595b64144ccf1df")],
          "one dependency: Common Controls 6.0.0.0, Microsoft's key", identity)
    ids = [e.getAttribute("Id").lower() for e in everything
           if e.localName == "supportedOS" and e.namespaceURI == COMPATIBILITY]
    check(set(ids) == SUPPORTED_OS and len(ids) == len(SUPPORTED_OS),
          "supportedOS: Vista, 7, 8, 8.1 and 10/11, each once", ids)
    settings = [e for e in everything if e.localName == "windowsSettings"]
    check(len(settings) == 1 and settings[0].parentNode.localName == "application"
          and settings[0].parentNode.namespaceURI == ASM_V3,
          "one windowsSettings, in an asm.v3 application", [e.toxml() for e in settings])
    # Vista to 8.1 read only dpiAware: without it they run the window unaware
    # and stretch it as a bitmap.
    check(texts("dpiAware", SETTINGS_2005) == ["true/pm"],
          "dpiAware true/pm: system-aware on Vista and 7, per-monitor on 8.1",
          texts("dpiAware", SETTINGS_2005))
    check(texts("dpiAwareness", SETTINGS_2016) == ["PerMonitorV2, PerMonitor"],
          "dpiAwareness PerMonitorV2, then PerMonitor where 10 lacks v2",
          texts("dpiAwareness", SETTINGS_2016))

print(f"manifest: {failures} failed")
sys.exit(1 if failures else 0)
