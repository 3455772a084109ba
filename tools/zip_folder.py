#!/usr/bin/env python3
"""Zips FOLDER (a relative path, kept in the names) into OUTPUT.zip, its
files in name order. Usage: tools/zip_folder.py OUTPUT.zip FOLDER"""
import os
import sys
import zipfile

output, top = sys.argv[1:3]
with zipfile.ZipFile(output, "w", zipfile.ZIP_DEFLATED) as z:
    for folder, _, files in sorted(os.walk(top)):
        for name in sorted(files):
            z.write(os.path.join(folder, name))
