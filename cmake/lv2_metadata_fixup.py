#!/usr/bin/env python3
"""Repairs the Turtle that JUCE 7.0.5 writes into an LV2 bundle, so lv2_validate finds no errors.

- lv2:portProperty is only defined for ports: it is dropped from lv2:Parameter descriptions, and a
  choice parameter's scale points get plain values (JUCE writes normalised ones).
- The plug-in is also declared a doap:Project, so its doap:maintainer and doap:release are in domain,
  and the maintainer's mailbox becomes a mailto: IRI.
- ui:noUserResize is a feature, not extension data; opts:interface is extension data, not a feature.
- The single unnamed host program is not offered as an LV2 preset: its state property is undefined.

Usage: lv2_metadata_fixup.py BUNDLE_DIR
"""
import re
import sys
from pathlib import Path


def blocks(text):
    return text.split("\n\n")


def fix_parameter(block):
    if "a lv2:Parameter" not in block:
        return block
    block = re.sub(r"\n\tlv2:portProperty [^\n]*;", "", block)
    maximum = re.search(r"lv2:maximum ([0-9.]+)", block)
    values = [float(v) for v in re.findall(r"rdf:value ([0-9.]+)", block)]
    if maximum and values and float(maximum.group(1)) > 1 and max(values) <= 1:
        scale = float(maximum.group(1))
        block = re.sub(r"rdf:value ([0-9.]+)",
                       lambda m: "rdf:value %g" % round(float(m.group(1)) * scale, 6), block)
    return block


def fix_dsp(text):
    text = "\n\n".join(fix_parameter(b) for b in blocks(text))
    text = text.replace("\ta lv2:Plugin ;", "\ta lv2:Plugin , doap:Project ;", 1)
    text = re.sub(r"foaf:mbox <(?!mailto:)([^>]+)>", r"foaf:mbox <mailto:\1>", text)
    return text


def fix_ui(text):
    text = re.sub(r"(lv2:extensionData[^;]*?)\n\t\tui:noUserResize ,", r"\1", text)
    text = re.sub(r"(lv2:optionalFeature[^;]*?)\n\t\topts:interface ,", r"\1", text)
    return text


def fix_manifest(text):
    return "\n\n".join(b for b in blocks(text) if "a pset:Preset" not in b)


def main():
    bundle = Path(sys.argv[1])
    for name, fix in (("dsp.ttl", fix_dsp), ("ui.ttl", fix_ui), ("manifest.ttl", fix_manifest)):
        path = bundle / name
        if path.exists():
            text = path.read_text(encoding="utf-8")
            fixed = fix(text)
            if fixed != text:
                path.write_text(fixed, encoding="utf-8")


if __name__ == "__main__":
    main()
