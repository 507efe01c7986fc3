#!/usr/bin/env python3
"""Writes the corpus of program images for the image check's tests.

Each NAME.bin is a small synthetic image (headers and two sections, no real
code) made whole, cut short or bent in one way; NAME.expected holds the
verdict the check must give.  Deterministic: the same folder gets the same
bytes.

    tools/make_executable_images.py tests/common/executable_images
"""

import os
import struct
import sys

FILE_ALIGNMENT = 0x200
SECTION_ALIGNMENT = 0x1000
NEW_HEADER = 0x80


def image(pe32_plus=False, sections=2, size_of_image=None, size_of_headers=0x200,
          optional_magic=None, raw_pointer_of_last=None):
    optional_size = 0xF0 if pe32_plus else 0xE0
    dos = bytearray(NEW_HEADER)
    dos[0:2] = b"MZ"
    struct.pack_into("<I", dos, 0x3C, NEW_HEADER)
    file_header = struct.pack("<HHIIIHH", 0x8664 if pe32_plus else 0x14C, sections, 0, 0, 0, optional_size,
                              0x0102)
    optional = bytearray(optional_size)
    struct.pack_into("<H", optional, 0, optional_magic or (0x20B if pe32_plus else 0x10B))
    struct.pack_into("<I", optional, 16, SECTION_ALIGNMENT)  # entry point
    struct.pack_into("<II", optional, 32, SECTION_ALIGNMENT, FILE_ALIGNMENT)
    if size_of_image is None:
        size_of_image = SECTION_ALIGNMENT * (1 + sections)
    struct.pack_into("<II", optional, 56, size_of_image, size_of_headers)
    struct.pack_into("<H", optional, 68, 2)  # graphical subsystem
    table = bytearray()
    for index in range(sections):
        raw_pointer = FILE_ALIGNMENT * (1 + index)
        if raw_pointer_of_last is not None and index == sections - 1:
            raw_pointer = raw_pointer_of_last
        table += struct.pack("<8sIIIIIIHHI", b".s%d" % index, 0x100, SECTION_ALIGNMENT * (1 + index),
                             FILE_ALIGNMENT, raw_pointer, 0, 0, 0, 0, 0x60000020)
    headers = bytes(dos) + b"PE\0\0" + file_header + bytes(optional) + bytes(table)
    headers += bytes(FILE_ALIGNMENT - len(headers))
    body = b"".join(bytes([0x90 + index]) * FILE_ALIGNMENT for index in range(sections))
    return headers + body


def main():
    folder = sys.argv[1]
    os.makedirs(folder, exist_ok=True)
    whole = image()
    section_table_end = NEW_HEADER + 4 + 20 + 0xE0 + 2 * 40
    cases = {
        "whole_program": (whole, "whole"),
        "whole_with_trailing_data": (whole + b"signature and overlay", "whole"),
        "whole_64_bit_program": (image(pe32_plus=True), "whole"),
        "cut_in_the_dos_header": (whole[:0x30], "no_dos_header"),
        "cut_before_the_pe_signature": (whole[:NEW_HEADER + 2], "no_pe_signature"),
        "cut_in_the_file_header": (whole[:NEW_HEADER + 12], "file_header_cut"),
        "cut_in_the_optional_header": (whole[:NEW_HEADER + 24 + 0x40], "optional_header_cut"),
        "cut_in_the_section_table": (whole[:section_table_end - 10], "section_table_cut"),
        "cut_after_the_section_table": (whole[:section_table_end], "headers_cut"),
        "cut_after_the_headers": (whole[:FILE_ALIGNMENT], "section_data_cut"),
        "cut_in_the_last_section": (whole[:len(whole) - 1], "section_data_cut"),
        "optional_header_of_unknown_kind": (image(optional_magic=0x107), "unknown_optional_kind"),
        "no_sections": (image(sections=0), "no_sections"),
        "size_of_image_zero": (image(size_of_image=0), "bad_size_of_image"),
        "size_of_image_below_the_headers": (image(size_of_image=0x100), "bad_size_of_image"),
        "section_beyond_the_size_of_image": (image(size_of_image=2 * SECTION_ALIGNMENT), "section_outside_image"),
        "headers_larger_than_the_file": (image(size_of_headers=0x10000, size_of_image=0x20000), "headers_cut"),
        "section_data_offset_wraps": (image(raw_pointer_of_last=0xFFFFFF00), "section_data_cut"),
    }
    for name, (data, verdict) in cases.items():
        with open(os.path.join(folder, name + ".bin"), "wb") as out:
            out.write(data)
        with open(os.path.join(folder, name + ".expected"), "w") as out:
            out.write(verdict + "\n")


if __name__ == "__main__":
    main()
