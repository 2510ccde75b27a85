#!/usr/bin/python3
# Reads pixels of an X window without grabbing the server (ImageMagick's import grabs it for
# every capture, which starves a slow client such as a sanitized build of the installer when
# a test polls the screen). Used by scripts/shell_helpers.sh.
#   window_pixels.py pixel WINDOW X Y             -> "(R,G,B) #RRGGBB"
#   window_pixels.py hash WINDOW WxH+X+Y          -> a digest of the area's pixels
#   window_pixels.py count WINDOW WxH+X+Y RRGGBB  -> how many of the area's pixels have that colour
# The area is clipped to the window. Exits with status 1 when the window cannot be read.
import hashlib
import re
import sys

from Xlib import X, display, error


def area_of(window, geometry):
    w, h, x, y = (int(v) for v in re.fullmatch(r"(\d+)x(\d+)\+(\d+)\+(\d+)", geometry).groups())
    size = window.get_geometry()
    w, h = max(0, min(w, size.width - x)), max(0, min(h, size.height - y))
    if w == 0 or h == 0:
        sys.exit(1)
    return x, y, w, h


def pixels(window, x, y, w, h):
    # 24-bit visuals come as 32-bit little-endian words: blue, green, red, unused.
    data = window.get_image(x, y, w, h, X.ZPixmap, 0xFFFFFFFF).data
    return [(data[i + 2], data[i + 1], data[i]) for i in range(0, len(data), 4)]


def main():
    command, window_id = sys.argv[1], int(sys.argv[2], 0)
    window = display.Display().create_resource_object("window", window_id)
    try:
        if command == "pixel":
            r, g, b = pixels(window, int(sys.argv[3]), int(sys.argv[4]), 1, 1)[0]
            print(f"({r},{g},{b}) #{r:02X}{g:02X}{b:02X}")
        elif command == "hash":
            print(hashlib.md5(bytes(v for p in pixels(window, *area_of(window, sys.argv[3])) for v in p)).hexdigest())
        elif command == "count":
            wanted = tuple(bytes.fromhex(sys.argv[4]))
            print(sum(1 for p in pixels(window, *area_of(window, sys.argv[3])) if p == wanted))
        else:
            sys.exit(f"unknown command {command}")
    except (error.XError, error.BadMatch, error.BadWindow, error.BadDrawable):
        sys.exit(1)


main()
