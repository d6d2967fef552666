#!/usr/bin/env python3
"""Checks tools/make-images from the outside: the same bytes on every run, and .ico and .bmp files laid
out as the resource compiler and the Windows loaders read them, with the transparency where it is meant."""

import os
import struct
import subprocess
import sys
import tempfile
import unittest
import zlib

SCRIPT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools", "make-images")

ICONS = ["app", "shut_down", "restart", "sleep", "hibernate", "display_off", "screen_saver", "lock_windows",
         "alarm", "run"]
ACTIONS = ICONS[1:8]  # the menu strip's images, in command order
IMAGES = [(48, 8), (32, 8), (24, 8), (16, 8), (256, 32), (48, 32), (32, 32), (24, 32), (16, 32)]
CHECKER_IMAGES = [256, 128, 64, 48, 40, 32, 24, 20, 16]  # all 32 bits per pixel
MAGENTA = (255, 0, 255)


def run_script(out, *options):
    subprocess.run([sys.executable, SCRIPT, "--out", out, *options], check=True)
    return {name: open(os.path.join(out, name), "rb").read() for name in sorted(os.listdir(out))}


def read_png(data):
    """RGBA rows of an 8-bit RGBA PNG without interlacing; checks every chunk's CRC on the way."""
    assert data[:8] == b"\x89PNG\r\n\x1a\n", "no PNG signature"
    pos, idat, header = 8, b"", None
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        (crc,) = struct.unpack(">I", data[pos + 8 + length:pos + 12 + length])
        assert zlib.crc32(kind + body) == crc, "bad CRC in %r" % kind
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
        if kind == b"IEND":
            break
    assert pos == len(data), "bytes after IEND"
    width, height, depth, colour, _, _, interlace = header
    assert (depth, colour, interlace) == (8, 6, 0), header
    raw = zlib.decompress(idat)
    stride = width * 4 + 1
    assert len(raw) == stride * height
    pixels = []
    for y in range(height):
        row = raw[y * stride:(y + 1) * stride]
        assert row[0] == 0, "the writer uses no row filters"
        pixels.extend(tuple(row[1 + 4 * x:5 + 4 * x]) for x in range(width))
    return width, height, pixels


def read_icon_dib(data, size):
    """(bits, RGBA pixels from the top, mask bits from the top) of an icon image's DIB."""
    (hsize, width, height, planes, bits, compression, image_bytes, _, _, used, _) = struct.unpack(
        "<IiiHHIIiiII", data[:40])
    assert (hsize, width, height, planes, compression) == (40, size, 2 * size, 1, 0)
    pos = 40
    palette = []
    if bits == 8:
        assert used == 256
        palette = [tuple(data[pos + 4 * i:pos + 4 * i + 4]) for i in range(256)]
        pos += 1024
    stride = ((size * bits + 31) // 32) * 4
    mask_stride = ((size + 31) // 32) * 4
    assert image_bytes == stride * size + mask_stride * size
    assert len(data) == pos + image_bytes
    pixels = [None] * (size * size)
    mask = [0] * (size * size)
    for row in range(size):
        y = size - 1 - row
        line = data[pos + row * stride:pos + (row + 1) * stride]
        bits_line = data[pos + stride * size + row * mask_stride:pos + stride * size + (row + 1) * mask_stride]
        for x in range(size):
            if bits == 32:
                b, g, r, a = line[4 * x:4 * x + 4]
                pixels[y * size + x] = (r, g, b, a)
            else:
                index = line[x]
                b, g, r, _ = palette[index]
                pixels[y * size + x] = (r, g, b, index)
            mask[y * size + x] = (bits_line[x >> 3] >> (7 - (x & 7))) & 1
    return bits, pixels, mask, palette


def read_ico(data):
    reserved, kind, count = struct.unpack("<HHH", data[:6])
    assert (reserved, kind) == (0, 1)
    images = []
    end = 6 + 16 * count
    for i in range(count):
        w, h, colours, res, planes, bits, size, offset = struct.unpack("<BBBBHHII", data[6 + 16 * i:22 + 16 * i])
        assert offset == end, "images are stored back to back in directory order"
        end += size
        images.append(((w or 256), (h or 256), colours, res, planes, bits, data[offset:offset + size]))
    assert end == len(data)
    return images


def soft_pixels(alphas):
    """Half-covered pixels: what a blurred edge is made of."""
    return sum(1 for a in alphas if 24 < a < 232)


def scaled_alphas(big, size):
    """The alpha of a 256-pixel image box-filtered down to size x size."""
    out = []
    for y in range(size):
        for x in range(size):
            y0, y1 = y * 256 // size, (y + 1) * 256 // size
            x0, x1 = x * 256 // size, (x + 1) * 256 // size
            alphas = [big[yy * 256 + xx][3] for yy in range(y0, y1) for xx in range(x0, x1)]
            out.append(sum(alphas) // len(alphas))
    return out


def read_bmp24(data):
    magic, file_size, _, _, offset = struct.unpack("<2sIHHI", data[:14])
    hsize, width, height, planes, bits, compression = struct.unpack("<IiiHHI", data[14:34])
    assert (magic, file_size, hsize, planes, bits, compression) == (b"BM", len(data), 40, 1, 24, 0)
    assert height > 0, "bottom-up, as LoadImage expects of a resource"
    stride = (width * 3 + 3) & ~3
    assert len(data) == offset + stride * height
    pixels = [None] * (width * height)
    for row in range(height):
        y = height - 1 - row
        line = data[offset + row * stride:offset + (row + 1) * stride]
        for x in range(width):
            b, g, r = line[3 * x:3 * x + 3]
            pixels[y * width + x] = (r, g, b)
    return width, height, pixels


class MakeImagesTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        with tempfile.TemporaryDirectory() as first, tempfile.TemporaryDirectory() as second:
            cls.files = run_script(first)
            cls.again = run_script(second)
        cls.icons = {name: read_ico(cls.files[name + ".ico"]) for name in ICONS}

    def test_same_bytes_every_run(self):
        expected = sorted([name + ".ico" for name in ICONS] + ["menu_images.bmp", "close_glyph.bmp"])
        self.assertEqual(sorted(self.files), expected)
        for name in self.files:
            self.assertEqual(self.files[name], self.again[name], name)

    def test_each_icon_holds_the_nine_images_in_order(self):
        for name, images in self.icons.items():
            with self.subTest(name):
                self.assertEqual([(w, bits) for w, _, _, _, _, bits, _ in images], IMAGES)
                for w, h, colours, res, planes, bits, data in images:
                    self.assertEqual((h, colours, res, planes), (w, 0, 0, 1))
                    if w == 256:
                        self.assertEqual(read_png(data)[:2], (256, 256))
                    else:
                        self.assertEqual(read_icon_dib(data, w)[0], bits)

    def test_masks_follow_the_alpha_threshold(self):
        for name, images in self.icons.items():
            by_depth = {}
            for w, _, _, _, _, bits, data in images:
                if w == 256:
                    continue
                with self.subTest(name=name, size=w, bits=bits):
                    _, pixels, mask, palette = read_icon_dib(data, w)
                    if bits == 32:
                        self.assertEqual(mask, [1 if p[3] < 128 else 0 for p in pixels])
                    else:
                        # Masked pixels show palette entry 0, which must be black to vanish.
                        self.assertEqual(palette[0][:3], (0, 0, 0))
                        for p, m in zip(pixels, mask):
                            self.assertEqual(p[3] == 0, m == 1)
                    self.assertEqual(mask[0], 1, "corner is transparent")
                    self.assertLess(sum(mask), w * w * 0.9, "something is drawn")
                    by_depth[(w, bits)] = (pixels, mask)
            for size in (16, 24, 32, 48):
                with self.subTest(name=name, size=size):
                    eight, thirty_two = by_depth[(size, 8)], by_depth[(size, 32)]
                    self.assertEqual(eight[1], thirty_two[1])
                    # The palette keeps the colours close: no opaque pixel is off by much.
                    worst = max(max(abs(a - b) for a, b in zip(p8[:3], p32[:3]))
                                for p8, p32, m in zip(eight[0], thirty_two[0], eight[1]) if not m)
                    self.assertLess(worst, 48)

    def test_small_sizes_are_drawn_on_the_pixel_grid_not_scaled(self):
        # Round outlines stay soft at any size, so the set is judged as a whole: the drawn 16 and 24
        # pixel images must have far fewer half-covered pixels than the 256 pixel drawing scaled down.
        for index, size in ((8, 16), (7, 24)):
            drawn_total = scaled_total = 0
            for name, images in self.icons.items():
                big = read_png(images[4][6])[2]
                drawn = read_icon_dib(images[index][6], size)[1]
                drawn_total += soft_pixels(p[3] for p in drawn)
                scaled_total += soft_pixels(scaled_alphas(big, size))
            with self.subTest(size=size):
                self.assertLess(drawn_total, scaled_total * 0.8)

    def test_icons_differ_from_each_other(self):
        small = {name: read_icon_dib(images[8][6], 16)[1] for name, images in self.icons.items()}
        names = list(small)
        for i, a in enumerate(names):
            for b in names[i + 1:]:
                self.assertNotEqual(small[a], small[b], (a, b))

    def test_menu_strip_is_the_action_icons_on_a_magenta_key(self):
        width, height, pixels = read_bmp24(self.files["menu_images.bmp"])
        self.assertEqual((width, height), (16 * len(ACTIONS), 16))
        for i, name in enumerate(ACTIONS):
            with self.subTest(name):
                icon = read_icon_dib(self.icons[name][8][6], 16)[1]
                for y in range(16):
                    for x in range(16):
                        shown = pixels[y * width + 16 * i + x]
                        if icon[y * 16 + x][3] < 128:
                            self.assertEqual(shown, MAGENTA, (x, y))
                        else:
                            self.assertNotEqual(shown, MAGENTA, (x, y))
                self.assertEqual(pixels[16 * i], MAGENTA)

    def test_close_glyph_is_a_grey_cross_ten_pixels_wide(self):
        width, height, pixels = read_bmp24(self.files["close_glyph.bmp"])
        self.assertEqual(height, 10)
        self.assertEqual(width % 10, 0)
        self.assertGreaterEqual(width, 10)
        for left in range(0, width, 10):
            with self.subTest(left=left):
                image = [pixels[y * width + left + x] for y in range(10) for x in range(10)]
                for corner in (0, 9, 90, 99):
                    self.assertEqual(image[corner], MAGENTA)
                for p in image:
                    if p != MAGENTA:
                        self.assertTrue(p[0] == p[1] == p[2], p)
                # Both diagonals are drawn and the cross is symmetric.
                for i in range(2, 8):
                    self.assertNotEqual(image[i * 10 + i], MAGENTA)
                    self.assertNotEqual(image[i * 10 + 9 - i], MAGENTA)
                for y in range(10):
                    for x in range(10):
                        self.assertEqual(image[y * 10 + x], image[y * 10 + 9 - x])
        if width >= 20:
            self.assertNotEqual(pixels[5 * width + 5], pixels[5 * width + 15], "the hot image stands out")


class CheckerIconTest(unittest.TestCase):
    """The checker's set: one icon of nine 32-bit images, drawn apart from Tivolan's."""

    @classmethod
    def setUpClass(cls):
        with tempfile.TemporaryDirectory() as first, tempfile.TemporaryDirectory() as second, \
                tempfile.TemporaryDirectory() as tivolan:
            cls.files = run_script(first, "--set", "checker")
            cls.again = run_script(second, "--set", "checker")
            cls.tivolan_app = run_script(tivolan)["app.ico"]
        cls.images = read_ico(cls.files["qpchkupd2.ico"])

    def rgba(self, index):
        w, _, _, _, _, _, data = self.images[index]
        if w == 256:
            return read_png(data)[2]
        return read_icon_dib(data, w)[1]

    def test_only_the_icon_and_the_same_bytes_every_run(self):
        self.assertEqual(sorted(self.files), ["qpchkupd2.ico"])
        self.assertEqual(self.files, self.again)

    def test_nine_alpha_images_largest_first_with_a_png_at_256(self):
        self.assertEqual([(w, bits) for w, _, _, _, _, bits, _ in self.images],
                         [(size, 32) for size in CHECKER_IMAGES])
        for w, h, colours, res, planes, bits, data in self.images:
            with self.subTest(size=w):
                self.assertEqual((h, colours, res, planes), (w, 0, 0, 1))
                if w == 256:
                    self.assertEqual(read_png(data)[:2], (256, 256))
                else:
                    self.assertEqual(read_icon_dib(data, w)[0], 32)

    def test_masks_follow_alpha_and_every_size_is_drawn(self):
        for w, _, _, _, _, _, data in self.images[1:]:
            with self.subTest(size=w):
                _, pixels, mask, _ = read_icon_dib(data, w)
                self.assertEqual(mask, [1 if p[3] < 128 else 0 for p in pixels])
                self.assertEqual(mask[0], 1, "top left corner is transparent")
                self.assertGreater(w * w - sum(mask), w * w // 2, "the drawing fills most of the square")
                # Both parts are there at every size: the badge's green and the frames' blue.
                opaque = [p for p in pixels if p[3] >= 128]
                self.assertTrue(any(g > r + 60 and g > b + 20 for r, g, b, _ in opaque), "green badge")
                self.assertTrue(any(b > r + 60 and b > g + 20 for r, g, b, _ in opaque), "blue frames")

    def test_hand_laid_sizes_are_sharper_than_a_downscale(self):
        big = self.rgba(0)
        for index, size in ((8, 16), (7, 20), (6, 24), (5, 32)):
            with self.subTest(size=size):
                drawn = soft_pixels(p[3] for p in self.rgba(index))
                self.assertLess(drawn, soft_pixels(scaled_alphas(big, size)) * 0.8)

    def test_film_strip_edges_land_on_whole_pixels_at_16(self):
        # The strip's top and left edges are hard: fully opaque next to fully transparent.
        pixels = self.rgba(8)
        columns = [pixels[y * 16 + 3][3] for y in range(16)]
        self.assertIn(255, columns)
        self.assertTrue(all(a in (0, 255) for a in columns[:6]), columns)
        self.assertEqual(pixels[0][3], 0)

    def test_differs_from_tivolans_program_icon(self):
        tivolan = read_ico(self.tivolan_app)
        for size in (16, 32):
            with self.subTest(size=size):
                mine = self.rgba(CHECKER_IMAGES.index(size))
                theirs = next(read_icon_dib(data, w)[1] for w, _, _, _, _, bits, data in tivolan
                              if w == size and bits == 32)
                self.assertNotEqual(mine, theirs)


class SetupPictureTest(unittest.TestCase):
    """The setup's set: the welcome and finish pages' picture, the program icon on its blue."""

    @classmethod
    def setUpClass(cls):
        with tempfile.TemporaryDirectory() as first, tempfile.TemporaryDirectory() as second:
            cls.files = run_script(first, "--set", "setup")
            cls.again = run_script(second, "--set", "setup")

    def test_one_picture_the_size_of_the_page_panel_and_the_same_bytes_every_run(self):
        self.assertEqual(sorted(self.files), ["setup_welcome.bmp"])
        self.assertEqual(self.files, self.again)
        width, height, _ = read_bmp24(self.files["setup_welcome.bmp"])
        self.assertEqual((width, height), (164, 314))

    def test_blue_everywhere_but_the_icon_which_is_whole_and_centred(self):
        width, height, pixels = read_bmp24(self.files["setup_welcome.bmp"])
        for x, y in ((0, 0), (163, 0), (0, 313), (163, 313), (82, 20)):
            with self.subTest(x=x, y=y):
                r, g, b = pixels[y * width + x]
                self.assertGreater(b, r + 60, "blue background")
        # The icon's white face and red badge are whole inside the picture, clear of its edges, in the
        # upper half where the page's text begins.
        white = [(i % width, i // width) for i, (r, g, b) in enumerate(pixels) if min(r, g, b) > 235]
        red = [(i % width, i // width) for i, (r, g, b) in enumerate(pixels) if r > 180 and g < 90 and b < 90]
        self.assertGreater(len(white), 1000, "the clock face")
        self.assertGreater(len(red), 300, "the power badge")
        for x, y in white + red:
            self.assertTrue(8 <= x < width - 8 and y < height // 2, (x, y))

if __name__ == "__main__":
    unittest.main()
