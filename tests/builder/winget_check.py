#!/usr/bin/env python3
"""Reads winget manifest files as winget's tools do (YAML) and validates each
against the published JSON schema of its ManifestType; prints every value
read, one a line, as FILE:PATH=JSON ("a.installer.yaml:Installers/0/Scope=
"machine""), for the test to compare: a value read as a number or a yes/no
shows so.
Usage: winget_check.py SCHEMA_DIR FILE..."""
import json
import pathlib
import sys

import jsonschema
import yaml

SCHEMAS = {
    "version": "manifest.version.1.6.0.json",
    "installer": "manifest.installer.1.6.0.json",
    "defaultLocale": "manifest.defaultLocale.1.6.0.json",
}


def leaves(value, path=""):
    if isinstance(value, dict):
        for key, item in value.items():
            yield from leaves(item, f"{path}/{key}" if path else str(key))
    elif isinstance(value, list):
        for index, item in enumerate(value):
            yield from leaves(item, f"{path}/{index}")
    else:
        yield path, value


def main():
    schema_dir = pathlib.Path(sys.argv[1])
    problems = []
    for name in sys.argv[2:]:
        path = pathlib.Path(name)
        document = yaml.safe_load(path.read_text(encoding="utf-8"))
        kind = document.get("ManifestType") if isinstance(document, dict) else None
        if kind not in SCHEMAS:
            problems.append(f"{path.name}: ManifestType {kind!r} is none of {sorted(SCHEMAS)}")
            continue
        schema = json.loads((schema_dir / SCHEMAS[kind]).read_text(encoding="utf-8"))
        for error in jsonschema.Draft7Validator(schema).iter_errors(document):
            where = "/".join(str(part) for part in error.absolute_path)
            problems.append(f"{path.name}: {where}: {error.message}")
        for where, value in leaves(document):
            print(f"{path.name}:{where}={json.dumps(value, ensure_ascii=False)}")
    for problem in problems:
        print(problem, file=sys.stderr)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
