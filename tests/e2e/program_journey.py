#!/usr/bin/python3
"""The program as a person meets it: the real `cardwright` on a virtual X
display, driven by real X input (xdotool), one short journey.

  program_journey.py PROGRAM SOURCE_DIR [SCREENSHOT_DIR]

The journey: start-up question answered, every top-level menu dropped down
(by mouse, by Alt+letter and by F10) and a harmless item run, the card batch
window opened and closed, a Chinese name typed into the record grid on the
stock table (the guard's message is answered and the file stays as it was),
then on a copy of the table (the file on disk changes, read back with an
independent dBASE reader), a folder of photos imported by name in the
database editing window (read back and decoded), and the exit through the close questions. Any
crash, hang or error on stderr fails it.
"""
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import traceback
from pathlib import Path

MAIN_TITLE = "CardwrightV3.8"
TIMEOUT = 20.0


class JourneyError(Exception):
    pass


class Display:
    """A private X server with a window manager."""

    def __init__(self, workdir):
        self.procs = []
        read_fd, write_fd = os.pipe()
        xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_fd), "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
            pass_fds=(write_fd,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_fd)
        self.procs.append(xvfb)
        with os.fdopen(read_fd) as f:
            number = f.readline().strip()
        if not number:
            raise JourneyError("Xvfb did not start")
        self.name = ":" + number
        self.keyed = {}  # characters given keys of their own: their keycodes
        self.env = dict(os.environ, DISPLAY=self.name)
        if shutil.which("openbox"):
            wm = subprocess.Popen(["openbox", "--sm-disable"], env=self.env, cwd=workdir,
                                  stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            self.procs.append(wm)
            time.sleep(0.5)

    def give_keys(self, text):
        """Puts every character of `text` that has no key yet on a free key
        of the keyboard map. xdotool would otherwise remap a spare key for
        each such character while typing, and a loaded X server hands some
        of those presses to the program after the map changed back."""
        import ctypes
        import ctypes.util
        wanted = sorted({c for c in text if ord(c) > 0x7E} - set(self.keyed))
        if not wanted:
            return
        x = ctypes.CDLL(ctypes.util.find_library("X11"))
        x.XOpenDisplay.restype = ctypes.c_void_p
        x.XGetKeyboardMapping.restype = ctypes.POINTER(ctypes.c_ulong)
        dpy = ctypes.c_void_p(x.XOpenDisplay(self.name.encode()))
        if not dpy.value:
            raise JourneyError("cannot reach the X server to map keys")
        low, high, width = ctypes.c_int(), ctypes.c_int(), ctypes.c_int()
        x.XDisplayKeycodes(dpy, ctypes.byref(low), ctypes.byref(high))
        count = high.value - low.value + 1
        syms = x.XGetKeyboardMapping(dpy, ctypes.c_ubyte(low.value), count, ctypes.byref(width))
        free = [low.value + i for i in range(count)
                if not any(syms[i * width.value + j] for j in range(width.value))]
        x.XFree(syms)
        free = [k for k in free if k not in self.keyed.values()]
        if len(free) < len(wanted):
            raise JourneyError("the keyboard map has no free keys for %r" % "".join(wanted))
        for keycode, char in zip(reversed(free), wanted):
            keysym = (ctypes.c_ulong * 1)(0x01000000 + ord(char))
            x.XChangeKeyboardMapping(dpy, keycode, 1, keysym, 1)
            self.keyed[char] = keycode
        x.XCloseDisplay(dpy)
        time.sleep(0.5)  # the program takes in the new map before the keys come

    def close(self):
        for p in reversed(self.procs):
            p.terminate()
            try:
                p.wait(5)
            except subprocess.TimeoutExpired:
                p.kill()


class Journey:
    def __init__(self, display, program_env, shots):
        self.display = display
        self.env = program_env
        self.shots = shots
        self.program = None

    # X input -------------------------------------------------------------------------
    def xdo(self, *args, check=True):
        r = subprocess.run(["xdotool", *args], env=self.display.env, capture_output=True, text=True)
        if check and r.returncode != 0:
            raise JourneyError("xdotool %s: %s" % (" ".join(args), r.stderr.strip()))
        return r.stdout.strip()

    def key(self, *keys):
        self.xdo("key", "--clearmodifiers", "--delay", "60", *keys)
        time.sleep(0.3)

    def type(self, text):
        self.display.give_keys(text)
        self.xdo("type", "--delay", "120", text)
        time.sleep(0.3)

    def click(self, window, x, y, button=1):
        self.xdo("mousemove", "--window", window, str(x), str(y))
        time.sleep(0.15)
        self.xdo("click", str(button))
        time.sleep(0.4)

    def windows(self, name=None):
        args = ["search", "--onlyvisible"]
        args += ["--name", name] if name else ["--classname", "."]
        out = self.xdo(*args, check=False)
        return [w for w in out.split() if w]

    def wait_window(self, name, timeout=TIMEOUT):
        end = time.time() + timeout
        while time.time() < end:
            self.alive()
            found = self.windows(name)
            if found:
                time.sleep(0.3)
                return found[-1]
            time.sleep(0.1)
        raise JourneyError("no window named %r appeared" % name)

    def wait_gone(self, name, timeout=TIMEOUT):
        end = time.time() + timeout
        while time.time() < end:
            if not self.windows(name):
                return
            time.sleep(0.1)
        raise JourneyError("window %r did not close" % name)

    def geometry(self, window):
        out = self.xdo("getwindowgeometry", "--shell", window)
        values = dict(line.split("=", 1) for line in out.splitlines() if "=" in line)
        return int(values["X"]), int(values["Y"]), int(values["WIDTH"]), int(values["HEIGHT"])

    def popup_opens(self, action, what, timeout=TIMEOUT):
        """Runs an action that must open a menu: a new unnamed top-level window."""
        before = set(self.all_windows())
        action()
        end = time.time() + timeout
        while time.time() < end:
            new = [w for w in self.all_windows() if w not in before]
            if new:
                time.sleep(0.3)
                return new[-1]
            time.sleep(0.1)
        raise JourneyError("%s: no menu dropped down" % what)

    def all_windows(self):
        out = self.xdo("search", "--onlyvisible", "--name", "", check=False)
        return [w for w in out.split() if w]

    def screenshot(self, name):
        if not self.shots:
            return
        from PIL import ImageGrab
        self.shots.mkdir(parents=True, exist_ok=True)
        ImageGrab.grab(xdisplay=self.display.name).save(self.shots / name)

    def alive(self):
        if self.program and self.program.poll() is not None:
            raise JourneyError("the program ended early with code %d" % self.program.returncode)

    # The journey ---------------------------------------------------------------------
    def start(self, program, data_dir, arguments=()):
        self.program = subprocess.Popen([str(program), *map(str, arguments)], cwd=data_dir, env=self.env,
                                        stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        question = self.wait_window("是否新建")
        self.key("n")  # No: the recent-templates window instead of the wizard
        self.wait_gone("是否新建")
        self.wait_window("最近保存的模板")
        self.key("alt+F4")
        self.wait_gone("最近保存的模板")
        self.main = self.wait_window(MAIN_TITLE)
        self.xdo("windowactivate", "--sync", self.main, check=False)
        return question

    def menu_button(self, index):
        """Client point of the index-th button of the menu bar."""
        return MENU_BAR_LEFT + MENU_BUTTON_WIDTH * index + MENU_BUTTON_WIDTH // 2, MENU_BAR_Y

    def menus(self):
        # Each top-level menu by mouse; the first one photographed and left by Escape.
        for index, caption in enumerate(MENU_CAPTIONS):
            if caption not in MENUS_BY_MOUSE:
                continue
            x, y = self.menu_button(index)
            self.popup_opens(lambda: self.click(self.main, x, y), "click on " + caption)
            if index == 0:
                self.screenshot("main-window-menu.png")
            self.key("Escape")
        # By keyboard: Alt+letter and F10.
        for letter in [c[c.index("(") + 1] for c in MENUS_WITH_ENTRIES]:
            self.popup_opens(lambda: self.key("alt+" + letter.lower()), "Alt+" + letter)
            self.key("Escape")
        self.popup_opens(lambda: self.key("F10"), "F10")
        self.key("Escape")
        self.key("Escape")
        # A harmless item: the show menu's first entry, the texts' toggle;
        # the start-up template marks texts, so it hides them and then shows
        # them again without a word.
        show = MENU_CAPTIONS.index("显示(S)")
        x, y = self.menu_button(show)
        for _ in range(2):
            self.popup_opens(lambda: self.click(self.main, x, y), "显示")
            self.key("Down", "Return")
            time.sleep(0.3)
        if self.xdo("search", "--onlyvisible", "--name", MESSAGE_CAPTION, check=False).split():
            raise JourneyError("the texts' toggle asked for a mark though the template has some")

    def menu_entry(self, menu_key, entry_key, window_name):
        """Runs a menu entry by its letter and waits for the window it opens.
        On a loaded machine the entry's letter can reach the menu before it
        takes keys; the menu then closes unchosen and is opened again."""
        keys = [entry_key] if isinstance(entry_key, str) else list(entry_key)
        self.xdo("windowactivate", "--sync", self.main, check=False)
        for attempt in range(3):
            last = attempt == 2
            try:
                # Right after a chosen entry's work the Alt key can go astray.
                self.popup_opens(lambda: self.key(menu_key), menu_key, timeout=TIMEOUT if last else 5.0)
            except JourneyError:
                if last:
                    raise
                self.xdo("windowactivate", "--sync", self.main, check=False)
                continue
            time.sleep(0.3)
            self.key(*keys)
            try:
                return self.wait_window(window_name, timeout=TIMEOUT if last else 5.0)
            except JourneyError:
                if last:
                    raise
                self.key("Escape")

    def batch_window(self):
        # 卡片批量生成(&PicEdit) shares its letter with 打印(&Print) below it:
        # the letter picks it, Return runs it.
        window = self.menu_entry("alt+f", ("p", "Return"), "卡片批量处理生成器")
        self.xdo("windowactivate", "--sync", window, check=False)
        self.key("alt+F4")
        self.wait_gone("卡片批量处理生成器")

    def effect_dialogs(self):
        # The batch window's 修改图二 chooses the photo of the current record;
        # 色彩调节 and 特效... open the processing preview dialog on it, which
        # Escape cancels.
        window = self.menu_entry("alt+f", ("p", "Return"), "卡片批量处理生成器")
        self.xdo("windowactivate", "--sync", window, check=False)
        x, y, w, h = self.geometry(window)
        panel_top = h - EFFECT_PANEL_HEIGHT
        self.click(window, EDIT_PICTURE_BUTTON[0], panel_top + EDIT_PICTURE_BUTTON[1])
        for button in (COLOUR_BUTTON, EFFECT_BUTTON):
            self.click(window, button[0], panel_top + button[1])
            dialog = self.wait_window(PREVIEW_CAPTION)
            self.xdo("windowactivate", "--sync", dialog, check=False)
            self.key("Escape")
            self.wait_gone(PREVIEW_CAPTION)
        self.xdo("windowactivate", "--sync", window, check=False)
        self.key("alt+F4")
        self.wait_gone("卡片批量处理生成器")

    def grid_cell(self):
        x, y, w, h = self.geometry(self.main)
        return w - GRID_FROM_RIGHT, GRID_FIRST_ROW_Y

    def type_into_grid(self, name):
        cx, cy = self.grid_cell()
        self.click(self.main, cx, cy)
        self.type(name)
        self.key("Return")
        self.key("Down")

    def stock_table_refuses(self, stock_dbf):
        before = stock_dbf.read_bytes()
        self.type_into_grid("张三")
        self.wait_window(GUARD_CAPTION)
        # The guard says why and offers to move the table to a folder of the
        # user's (the folder chooser); each word is answered and each offer
        # declined until the program asks nothing more.
        quiet = time.time()
        end = time.time() + TIMEOUT
        while time.time() - quiet < 2.0:
            if time.time() > end:
                raise JourneyError("the stock table's guard kept asking")
            asking = self.windows(GUARD_CAPTION) or self.windows(FOLDER_CHOOSER_CAPTION)
            if asking:
                self.xdo("windowactivate", "--sync", asking[-1], check=False)
                self.key("Return" if self.windows(GUARD_CAPTION) else "alt+F4")
                quiet = time.time()
            time.sleep(0.2)
        if stock_dbf.read_bytes() != before:
            raise JourneyError("the stock table changed on disk")

    def choose_table(self, dbf):
        dialog = self.menu_entry("alt+d", "d", OPEN_DIALOG_CAPTION)  # 选用数据库(Open&DB)...
        self.key("ctrl+a")
        self.type(str(dbf))
        self.key("Return")
        self.wait_gone(OPEN_DIALOG_CAPTION)
        self.wait_window(MESSAGE_CAPTION)
        self.key("Return")

    def copy_table_takes(self, dbf, name):
        self.type_into_grid(name)
        self.screenshot("record-grid-chinese.png")
        names = read_names(dbf)
        if name not in names:
            raise JourneyError("%s not in the table copy on disk: %r" % (name, names))

    # The command menus ------------------------------------------------------------------
    def close_window(self, name):
        window = self.wait_window(name)
        self.xdo("windowactivate", "--sync", window, check=False)
        self.key("alt+F4")
        self.wait_gone(name)

    def choose_entry(self, menu_key, downs, window_name):
        """Runs the entry `downs` places below a menu's first by arrow keys."""
        return self.menu_entry(menu_key, ["Down"] * downs + ["Return"], window_name)

    def command_windows(self):
        """The windows the database, options and show menus open."""
        self.choose_entry("alt+d", 0, "批量导入文本")  # 批量建立数据库(&CreatDB)
        self.close_window("批量导入文本")
        self.choose_entry("alt+d", 1, "数据库编辑")  # 整理数据库(&ModifyDB)
        self.close_window("数据库编辑")
        self.choose_entry("alt+d", 3, MESSAGE_CAPTION)  # 生成条形码: a hint first
        self.key("Return")
        self.close_window("生成条形码")
        self.choose_entry("alt+o", 0, "版面设置")  # 版面设置(&SetWorks)
        self.close_window("版面设置")
        # 设置: the data panel's toggle, twice, through the menu.
        for _ in range(2):
            self.popup_opens(lambda: self.key("alt+o"), "Alt+O")
            self.key(*(["Down"] * 4), "Return")
        self.alive()

    def picture_import(self, dbf, photos):
        """设置图片数据 in the database editing window: a folder of photos named
        after the records goes by name into picture one (the field chooser
        confirmed as it opens, on the name field); every named record's photo
        is then read back by an independent dBASE reader and decoded."""
        from PIL import Image
        photos.mkdir()
        colours = {}
        for i, name in enumerate(n for n in read_names(dbf) if n):
            colours[name] = PHOTO_COLOURS[i % len(PHOTO_COLOURS)]
            Image.new("RGB", (30, 40), colours[name]).save(photos / (name + ".png"))
        Image.new("RGB", (30, 40), (0, 0, 0)).save(photos / "any.png")  # what the dialog picks
        window = self.choose_entry("alt+d", 1, "数据库编辑")
        self.xdo("windowactivate", "--sync", window, check=False)
        self.click(window, *PICTURE_IMPORT_BUTTON)
        for caption in ["^选择$", "^决定之前先看看图片名是否就是姓名$"]:
            self.wait_window(caption)
            self.key("Return")  # Yes: a batch, by name
            self.wait_gone(caption)
        chooser = self.wait_window("^选字段$")
        self.xdo("windowactivate", "--sync", chooser, check=False)
        self.click(chooser, *FIELD_CHOOSER_OK)
        self.wait_gone("^选字段$")
        self.wait_window(OPEN_DIALOG_CAPTION)
        self.key("ctrl+a")
        self.type(str(photos / "any.png"))
        self.key("Return")
        self.wait_gone(OPEN_DIALOG_CAPTION)
        self.wait_window("^选取图片字段$")
        self.key("Return")  # Yes: picture one
        self.wait_gone("^选取图片字段$")
        self.wait_window(MESSAGE_CAPTION)  # 图片导入结束
        self.key("Return")
        self.wait_gone(MESSAGE_CAPTION)
        self.close_window("数据库编辑")
        import io
        import dbfread
        seen = set()
        for record in dbfread.DBF(str(dbf), encoding="gbk"):
            name = (record.get("AAAA") or "").strip()
            if name not in colours:
                continue
            seen.add(name)
            try:
                photo = Image.open(io.BytesIO(record["PIC"] or b"")).convert("RGB")
            except Exception as e:
                raise JourneyError("the photo of %s does not decode: %s" % (name, e))
            if photo.size != (30, 40) or photo.getpixel((15, 20)) != colours[name]:
                raise JourneyError("%s holds another photo: %r" % (name, photo.getpixel((15, 20))))
        if not colours or seen != set(colours):
            raise JourneyError("the table's names changed during the picture import")

    def scanner_capture(self, dbf):
        """使用扫描仪... in the database editing window: the scanner window lists
        the test scanners, scans a white page, crops under the frame and
        stores the crop as picture two; a record move posts it, and an independent
        dBASE reader finds the white BMP of the frame's size."""
        from PIL import Image
        import io
        import dbfread
        def pictures_two():
            return [record.get("BACKGROUND") or b"" for record in dbfread.DBF(str(dbf), encoding="gbk")]
        before = pictures_two()
        window = self.choose_entry("alt+d", 1, "数据库编辑")
        self.xdo("windowactivate", "--sync", window, check=False)
        self.click(window, *SCANNER_BUTTON)
        scanner = self.wait_window("^扫描$")
        self.xdo("windowactivate", "--sync", scanner, check=False)
        for button in [SCAN_BUTTON, CROP_BUTTON, STORE_BUTTON]:
            self.click(scanner, *button)
        self.wait_window("^选取图片字段$")
        self.key("n")  # No: picture two
        self.wait_gone("^选取图片字段$")
        # A move posts the record; one of 向前 and 向后 is enabled.
        self.click(scanner, *PREVIOUS_RECORD_BUTTON)
        self.click(scanner, *NEXT_RECORD_BUTTON)
        self.close_window("^扫描$")
        self.close_window("数据库编辑")
        after = pictures_two()
        changed = [new for old, new in zip(before, after) if new != old]
        if len(after) != len(before) or len(changed) != 1 or changed[0][:2] != b"BM":
            raise JourneyError("%d records took a scanned picture two" % len(changed))
        found = [Image.open(io.BytesIO(changed[0])).convert("RGB")]
        if found[0].size != SCAN_FRAME or found[0].getpixel((10, 10)) != (255, 255, 255):
            raise JourneyError("the stored scan is %r, %r" % (found[0].size, found[0].getpixel((10, 10))))

    def camera_capture(self, dbf):
        """摄像头拍照... in the database editing window: the camera window shows
        the test pattern's colour bars live, takes a still, crops under the
        frame and stores the crop as picture one; a record move posts it, and
        an independent dBASE reader finds a BMP of the frame's size with the
        bars under the frame."""
        from PIL import Image, ImageGrab
        import io
        import dbfread
        def pictures_one():
            return [record.get("PIC") or b"" for record in dbfread.DBF(str(dbf), encoding="gbk")]
        before = pictures_one()
        window = self.choose_entry("alt+d", 1, "数据库编辑")
        self.xdo("windowactivate", "--sync", window, check=False)
        self.click(window, *CAMERA_BUTTON)
        camera = self.wait_window("^摄像$")
        self.xdo("windowactivate", "--sync", camera, check=False)
        # The live preview: the pattern's first two bars, white and yellow.
        self.xdo("mousemove", "--window", camera, "0", "0")
        where = dict(line.split("=", 1) for line in self.xdo("getmouselocation", "--shell").splitlines())
        self.xdo("mousemove", "0", "0")
        time.sleep(0.5)
        screen = ImageGrab.grab(xdisplay=self.display.name).convert("RGB")
        origin = (int(where["X"]), int(where["Y"]))
        seen = [screen.getpixel((origin[0] + x, origin[1] + y)) for x, y in PREVIEW_BARS]
        if seen != [(255, 255, 255), (255, 255, 0)]:
            raise JourneyError("the camera window shows no live pattern: %r" % seen)
        for button in [PHOTO_BUTTON, CUT_BUTTON, CAMERA_STORE_BUTTON]:
            self.click(camera, *button)
        self.wait_window("^选取图片字段$")
        self.key("Return")  # Yes: picture one
        self.wait_gone("^选取图片字段$")
        # A move posts the record; one of 向前 and 向后 is enabled.
        self.click(camera, *CAMERA_PREVIOUS_BUTTON)
        self.click(camera, *CAMERA_NEXT_BUTTON)
        self.close_window("^摄像$")
        self.close_window("数据库编辑")
        after = pictures_one()
        changed = [new for old, new in zip(before, after) if new != old]
        if len(after) != len(before) or len(changed) != 1 or changed[0][:2] != b"BM":
            raise JourneyError("%d records took a photo as picture one" % len(changed))
        photo = Image.open(io.BytesIO(changed[0])).convert("RGB")
        # The frame starts at column 80 of the still: the cyan bar, then green.
        if photo.size != CAMERA_FRAME or photo.getpixel((10, 10)) != (0, 255, 255) or \
                photo.getpixel((60, 10)) != (0, 255, 0):
            raise JourneyError("the stored photo is %r, %r" % (photo.size, photo.getpixel((10, 10))))

    def page_range_refused(self):
        """打印(&Print) asks for the pages; a range beyond the report is refused."""
        self.popup_opens(lambda: self.key("alt+f"), "Alt+F")
        self.key("p", "p", "Return")  # the second entry marked P
        self.wait_window(RANGE_CAPTION)
        self.key("ctrl+a")
        self.type("1")
        self.key("Return")
        time.sleep(0.5)
        self.wait_window(RANGE_CAPTION)
        self.key("ctrl+a")
        self.type("99")
        self.key("Return")
        self.wait_window(MESSAGE_CAPTION)
        self.key("Return")
        self.wait_gone(MESSAGE_CAPTION)

    def collect_save(self, folder):
        """集中保存(Al&lSave) into `folder`, chosen through the desktop's folder
        browser, gathers the table and the template there."""
        chooser = self.menu_entry("alt+f", "l", CHOOSER_CAPTION)
        self.xdo("windowactivate", "--sync", chooser, check=False)
        self.click(chooser, 40, 20)  # 选目录
        browser = self.wait_window("^Select Directory$")
        self.xdo("windowactivate", "--sync", browser, check=False)
        self.key("ctrl+a")
        self.type(str(folder))
        self.key("Return")
        self.wait_gone("^Select Directory$")
        self.xdo("windowactivate", "--sync", chooser, check=False)
        self.click(chooser, 285, 308)  # 确定
        self.wait_gone(CHOOSER_CAPTION)
        self.wait_window(MESSAGE_CAPTION)  # the table's files were copied
        self.key("Return")
        self.wait_gone(MESSAGE_CAPTION)
        for name in ["data.DBF", "data.DBT", "data.MDX", folder.name + ".pmt"]:
            if not (folder / name).is_file():
                raise JourneyError("the collect-save did not write %s" % name)

    def open_template(self, path):
        """打开模板 with the path typed into the dialog. Typing a character
        the keyboard map lacks remaps a key for it, and a loaded X server
        can lose one; the file is then not found, the program says so, and
        the path is typed again."""
        for attempt in range(3):
            self.menu_entry("alt+f", "o", OPEN_DIALOG_CAPTION)  # 打开模板(&Open)
            self.key("ctrl+a")
            self.type(str(path))
            self.key("Return")
            self.wait_gone(OPEN_DIALOG_CAPTION)
            end = time.time() + 2.0
            while time.time() < end and not self.windows(MESSAGE_CAPTION):
                time.sleep(0.1)
            self.alive()
            if not self.windows(MESSAGE_CAPTION):
                return
            from PIL import ImageGrab
            shot = Path.cwd() / ("journey-open-message-%d.png" % attempt)
            ImageGrab.grab(xdisplay=self.display.name).save(shot)
            print("打开模板 answered by a message, see", shot)
            self.key("Return")
            self.wait_gone(MESSAGE_CAPTION)
        raise JourneyError("打开模板 did not open %s" % path)

    def exit(self, save=False):
        self.xdo("windowactivate", "--sync", self.main, check=False)
        self.key("alt+F4")
        self.wait_window("退出")
        self.key("y")
        self.wait_window("保存结果")
        self.key("y" if save else "n")
        try:
            code = self.program.wait(TIMEOUT)
        except subprocess.TimeoutExpired:
            raise JourneyError("the program did not end after the close questions")
        if code != 0:
            raise JourneyError("the program ended with code %d" % code)


class DesignJourney(Journey):
    """The card design on the main window: where the design texts are on the
    screen, dragging them with the mouse and photographs of the card."""

    def window_origin(self):
        self.xdo("mousemove", "--window", self.main, "0", "0")
        out = self.xdo("getmouselocation", "--shell")
        values = dict(line.split("=", 1) for line in out.splitlines() if "=" in line)
        return int(values["X"]), int(values["Y"])

    def card_box(self, design):
        """The card panel in window coordinates (left, top, right, bottom)."""
        sx, sy = self.scrollbox_origin()
        left = sx + design.page(30)
        top = sy + design.page(29)
        return left, top, left + design.page(9), top + design.page(10)

    def scrollbox_origin(self):
        """The client corner of the card panel's scroll box, found on the
        screen: the first pixel of its colour past the left panels along a
        row below the tool bars, and up that column past the tool bars."""
        from PIL import ImageGrab
        ox, oy = self.window_origin()
        shot = ImageGrab.grab(xdisplay=self.display.name)
        at = lambda x, y: shot.getpixel((ox + x, oy + y))[:3]
        x = next((x for x in range(1, 600) if at(x, 400) == SCROLLBOX_COLOUR and at(x - 1, 400) != SCROLLBOX_COLOUR),
                 None)
        if x is None:
            raise JourneyError("no card panel's scroll box on the screen")
        y = 400
        while y > 0 and at(x + 400, y - 1) == SCROLLBOX_COLOUR:
            y -= 1
        # The colour starts past the rulers along the scroll box's left and top.
        return x - RULER_THICKNESS, y - RULER_THICKNESS

    def grab(self, box):
        """The window box as the screen shows it once it stopped changing."""
        from PIL import ImageGrab
        ox, oy = self.window_origin()  # which also takes the pointer off the card
        screen = (box[0] + ox, box[1] + oy, box[2] + ox, box[3] + oy)
        last = None
        end = time.time() + TIMEOUT
        while time.time() < end:
            self.alive()
            shot = ImageGrab.grab(xdisplay=self.display.name).crop(screen)
            if last is not None and shot.tobytes() == last.tobytes():
                return shot
            last = shot
            time.sleep(0.3)
        raise JourneyError("the screen did not settle")

    def drag(self, start, end, steps=8):
        """A left-button drag in window coordinates by real pointer input."""
        x0, y0 = start
        x1, y1 = end
        # The press takes its move mode from the cursor the last move set.
        self.xdo("mousemove", "--window", self.main, str(x0 - 1), str(y0))
        time.sleep(0.1)
        self.xdo("mousemove", "--window", self.main, str(x0), str(y0))
        time.sleep(0.2)
        self.xdo("mousedown", "1")
        time.sleep(0.2)
        for i in range(1, steps + 1):
            self.xdo("mousemove", "--window", self.main,
                     str(x0 + (x1 - x0) * i // steps), str(y0 + (y1 - y0) * i // steps))
            time.sleep(0.05)
        time.sleep(0.2)
        self.xdo("mouseup", "1")

    def drawing_tools(self):
        """The drawing panel under the card: a function giving the window
        point of the tool button of a tag, found from the pen colour's black
        square (24 x 24 at 232, 3 of the panel, inside its lowered edge)."""
        from PIL import ImageGrab
        ox, oy = self.window_origin()
        sx, sy = self.scrollbox_origin()
        shot = ImageGrab.grab(xdisplay=self.display.name).convert("RGB")
        black = lambda x, y: shot.getpixel((ox + x, oy + y)) == (0, 0, 0)
        _, _, w, h = self.geometry(self.main)
        for y in range(sy + 200, h - 20):
            for x in range(sx, min(sx + 700, w - 20)):
                if black(x, y) and black(x + 19, y) and black(x, y + 19) and black(x + 19, y + 19):
                    left, top = x - 1 - 232, y - 1 - 3
                    # Tool buttons: 40 x 24 at 4 + 42 x tag, 30 below the panel's top.
                    return lambda tag: (left + 4 + 42 * tag + 20, top + 30 + 12)
        raise JourneyError("no drawing panel under the card")

    def save_by_key(self, path):
        """保存模板 by its key, Ctrl+S; waits until the file was replaced."""
        os.utime(path, (0, 0))
        self.xdo("windowactivate", "--sync", self.main, check=False)
        self.key("ctrl+s")
        end = time.time() + TIMEOUT
        while os.stat(path).st_mtime == 0:
            self.alive()
            if time.time() > end:
                raise JourneyError("Ctrl+S did not save %s" % path)
            time.sleep(0.1)


    def collect_save(self, folder):
        """集中保存: the folder chooser's 选目录 takes `folder` typed into the
        desktop's folder dialog, 确定 saves the table, the pictures and the
        template there under the folder's name, and the report is answered."""
        chooser = self.menu_entry("alt+f", "l", FOLDER_CHOOSER_CAPTION)  # 集中保存(Al&lSave)
        choose_folder(self, chooser, folder)
        self.wait_window(MESSAGE_CAPTION)  # where the table went
        self.key("Return")
        self.wait_gone(MESSAGE_CAPTION)
        saved = folder / (folder.name + ".pmt")
        end = time.time() + TIMEOUT
        while not saved.exists():
            self.alive()
            if time.time() > end:
                raise JourneyError("集中保存 wrote no %s" % saved)
            time.sleep(0.1)
        return saved


class TemplateFile:
    """A card template read by a reader of its own: sections of key=value
    lines, GBK with CR LF ends, scrambled unless under a folder named ...mode
    (the library's category folders lie inside one)."""

    def __init__(self, path):
        raw = Path(path).read_bytes()
        stock = any(p.name.lower().endswith("mode") for p in Path(path).parents)
        text = (raw if stock else scramble(raw, undo=True)).decode("gbk")
        self.sections = {}
        section = None
        for line in text.split("\r\n"):
            if line.startswith("[") and line.endswith("]"):
                section = self.sections.setdefault(line[1:-1], {})
            elif "=" in line and section is not None:
                key, value = line.split("=", 1)
                section[key] = value
            elif line:
                raise JourneyError("%s: not a template line: %r" % (path, line))

    def value(self, section, key):
        try:
            return self.sections[section][key]
        except KeyError:
            raise JourneyError("the template has no %s in [%s]" % (key, section))

    def page(self, index):
        return int(self.value("Section2", "PageData%d" % index))

    def text_box(self, index):
        """Data text `index` on the card panel: left, top, width, height."""
        return (int(self.value("Section3", "Left1%d" % index)), int(self.value("Section3", "Top1%d" % index)),
                int(self.value("Section1", "HeightWidth1%d" % index)),
                int(self.value("Section1", "HeightWidth0%d" % index)))


def inside(card, rect, inset=2):
    """A text's rectangle on the card panel as a window box, without the
    selection frame on its edges."""
    left, top, width, height = rect
    return (card[0] + left + inset, card[1] + top + inset,
            card[0] + left + width - inset, card[1] + top + height - inset)


def crop(shot, card, box):
    return shot.crop((box[0] - card[0], box[1] - card[1], box[2] - card[0], box[3] - card[1])).tobytes()


def difference(a, b, card=None, box=None):
    """The mean difference of two card photographs (or of one box of them)
    in levels of 0 to 255."""
    from PIL import ImageChops, ImageStat
    if box is not None:
        region = (box[0] - card[0], box[1] - card[1], box[2] - card[0], box[3] - card[1])
        a, b = a.crop(region), b.crop(region)
    return max(ImageStat.Stat(ImageChops.difference(a.convert("RGB"), b.convert("RGB"))).mean)


def blank_out(shot, card, boxes):
    """The card photograph with the given boxes (grown by the frame) painted over."""
    from PIL import ImageDraw
    copy = shot.copy()
    draw = ImageDraw.Draw(copy)
    for b in boxes:
        draw.rectangle((b[0] - card[0] - 4, b[1] - card[1] - 4, b[2] - card[0] + 4, b[3] - card[1] + 4), fill=0)
    return copy


def barcode_journey(journey, dbf):
    """The barcode window on the table copy: the field 编号 typed into its
    combo box, the window photographed, the batch run by a click; every
    record's stored picture then scans (zbarimg) to that field's text."""
    journey.choose_entry("alt+d", 3, MESSAGE_CAPTION)  # 生成条形码: the hint first
    journey.key("Return")
    window = journey.wait_window("生成条形码")
    journey.xdo("windowactivate", "--sync", window, check=False)
    journey.click(window, *BARCODE_FIELD_COMBO)
    journey.key("ctrl+a")
    journey.type(BARCODE_FIELD_CAPTION)
    if journey.shots:
        from PIL import ImageGrab
        x, y, w, h = journey.geometry(window)
        left, top, right, bottom = BARCODE_WINDOW_FRAME
        ImageGrab.grab(xdisplay=journey.display.name).crop((x - left, y - top, x + w + right, y + h - bottom)).save(
            journey.shots / "barcode-window.png")
    journey.click(window, *BARCODE_PRINT_BUTTON)
    journey.wait_window(MESSAGE_CAPTION)
    journey.key("Return")
    journey.wait_gone(MESSAGE_CAPTION)
    journey.close_window("生成条形码")
    work = Path(tempfile.mkdtemp(prefix="cw-barcodes-"))
    try:
        for i, (text, picture) in enumerate(stored_pictures(dbf, BARCODE_FIELD, "BARCODE")):
            file = work / ("%d.bmp" % i)
            file.write_bytes(picture)
            scanned = subprocess.run(["zbarimg", "-q", "--raw", str(file)], capture_output=True, text=True)
            if scanned.stdout.strip() != text:
                raise JourneyError("record %d's barcode reads %r, its text is %r" % (i + 1, scanned.stdout.strip(), text))
    finally:
        shutil.rmtree(work, ignore_errors=True)


def stored_pictures(dbf, text_field, blob_field):
    """Each record's text and BLOB, the BLOB read from the memo file by its
    published layout (dbfread cuts binary memos at certain bytes)."""
    import dbfread
    memo = dbf.with_suffix(".DBT").read_bytes()
    block_size = int.from_bytes(memo[20:22], "little") or 512
    found = []
    for record in dbfread.DBF(str(dbf), raw=True):
        pointer = record[blob_field].strip()
        block = int(pointer) if pointer else 0
        at = block * block_size
        if not block or memo[at:at + 4] != b"\xff\xff\x08\x00":
            raise JourneyError("record %d has no %s picture" % (len(found) + 1, blob_field))
        length = int.from_bytes(memo[at + 4:at + 8], "little")
        found.append((record[text_field].decode("gbk").strip(), memo[at + 8:at + length]))
    return found


def template_journey(journey, program, data, work):
    """A template named on the command line opens, a text moved with the
    mouse is saved, and the template reopened through 打开模板 shows the
    text where it was put and the rest of the card as it was."""
    folder = work / "Cards 卡片"
    folder.mkdir()
    template = folder / "员工卡.pmt"
    template.write_bytes(scramble((data / "Mode" / "未命名.pmt").read_bytes()))
    design = TemplateFile(template)
    # The dialogs get paths typed in plain letters: the same design under
    # another name, and the folder the template is collected into.
    typed = work / "Typed"
    typed.mkdir()
    original = typed / "original.pmt"
    shutil.copyfile(template, original)
    journey.start(program, data, [template])
    card = journey.card_box(design)
    opened = journey.grab(card)
    rect = design.text_box(0)
    moved = (rect[0] + TEXT_MOVE[0], rect[1] + TEXT_MOVE[1], rect[2], rect[3])
    new, old = inside(card, moved), inside(card, rect)
    middle = ((old[0] + old[2]) // 2, (old[1] + old[3]) // 2)
    journey.drag(middle, (middle[0] + TEXT_MOVE[0], middle[1] + TEXT_MOVE[1]))
    dragged = journey.grab(card)
    if crop(dragged, card, new) == crop(opened, card, new):
        raise JourneyError("the dragged text did not arrive where the mouse put it")

    journey.save_by_key(template)
    check_saved_text(TemplateFile(template), design, moved)
    if [p.name for p in work.iterdir() if p.name.lower() == folder.name.lower()] != [folder.name]:
        raise JourneyError("the save made a second folder for %s" % folder.name)

    # Under a new name: 集中保存 writes the template through Save As into
    # a folder of the user's, named after it, with the layout picture saved
    # again as JPEG (so the photographs are compared with a tolerance).
    (typed / "NewCard").mkdir()
    saved = journey.collect_save(typed / "NewCard")
    check_saved_text(TemplateFile(saved), design, moved)

    journey.open_template(original)
    again = journey.grab(card)
    if again.tobytes() != opened.tobytes():
        raise JourneyError("the template as it was does not look as it did when it opened")
    journey.open_template(saved)
    reopened = journey.grab(card)
    if difference(reopened, dragged, card, new) > SAME or difference(reopened, again, card, new) < CHANGED:
        raise JourneyError("the reopened template does not show the text where it was put")
    if difference(reopened, again, card, old) < CHANGED:
        raise JourneyError("the reopened template still shows the text where it was")
    if difference(blank_out(reopened, card, [new, old]), blank_out(again, card, [new, old])) > SAME:
        raise JourneyError("the reopened template changed more of the card than the moved text")


def card_screenshot(journey, data, work):
    """A card designed with Chinese texts, the photo, the barcode, the logo
    and the seal, opened through 打开模板 and photographed for the docs."""
    path = work / "Typed" / "card.pmt"
    path.write_bytes(scramble(designed_card((data / "Mode" / "未命名.pmt").read_bytes())))
    journey.open_template(path)
    design = TemplateFile(path)
    journey.grab(journey.card_box(design))
    if journey.shots:
        x, y, w, h = journey.geometry(journey.main)
        ox, oy = journey.window_origin()
        from PIL import ImageGrab
        ImageGrab.grab(xdisplay=journey.display.name).crop((ox, oy, ox + w, oy + h)).save(
            journey.shots / "designed-card.png")


def layout_drawing(journey, work):
    """底图 新建 makes the layout picture wider (150 mm, the height as it
    was); the ellipse and the pencil of the drawing panel draw on its free
    right part with the real mouse, and the screen shows exactly them."""
    design = TemplateFile(work / "Typed" / "card.pmt")
    card = journey.card_box(design)
    journey.choose_entry("alt+b", 0, "新建版图")  # 新建
    journey.key("ctrl+a")
    journey.type("150")
    journey.key("Return")
    journey.wait_gone("新建版图")
    picture = (card[0] + 5, card[1] + 5)  # the layout picture's corner in the window
    tools = journey.drawing_tools()
    before = journey.grab((picture[0], picture[1], picture[0] + 450, picture[1] + 200))
    journey.click(journey.main, *tools(2))  # 椭圆
    at = lambda x, y: (picture[0] + x, picture[1] + y)
    journey.drag(at(340, 40), at(430, 120))
    journey.click(journey.main, *tools(6))  # 铅笔
    stroke = [(340, 150), (370, 180), (400, 150), (430, 180)]
    for a, b in zip(stroke, stroke[1:]):
        journey.drag(at(*a), at(*b), steps=6)
    after = journey.grab((picture[0], picture[1], picture[0] + 450, picture[1] + 200))
    # Ink within a pixel of the point (the pointer's path is rounded).
    dark = lambda shot, x, y: any(sum(shot.getpixel((x + i, y + j))[:3]) < 200 for i in (-1, 0, 1) for j in (-1, 0, 1))
    white = lambda shot, x, y: shot.getpixel((x, y))[:3] == (255, 255, 255)
    checks = [(340, 80, True), (385, 40, True), (385, 80, False), (335, 80, False),  # the ellipse
              (355, 165, True), (385, 165, True), (415, 165, True), (440, 150, False)]  # the stroke
    for x, y, ink in checks:
        if not white(before, x, y):
            raise JourneyError("the new layout picture is not white at %d,%d" % (x, y))
        if (dark if ink else white)(after, x, y) is False:
            raise JourneyError("the drawing is %s at %d,%d" % ("missing" if ink else "spilt", x, y))
    if journey.shots:
        x, y, w, h = journey.geometry(journey.main)
        ox, oy = journey.window_origin()
        from PIL import ImageGrab
        ImageGrab.grab(xdisplay=journey.display.name).crop((ox, oy, ox + w, oy + h)).save(
            journey.shots / "layout-drawing.png")


def designed_card(stock):
    """The stock template with a card laid out on it: a heading, five rows of
    a title and its field, the photo, the barcode, the logo and the seal."""
    values = {}

    def text(kind, index, left, top, width, height, size, colour=0, bold=False, caption=None):
        sizes, place = ("HeightWidth", "1") if kind == 1 else ("NDBHW", "2")
        values[sizes + "0%d" % index] = height
        values[sizes + "1%d" % index] = width
        values["Left%s%d" % (place, index)] = left
        values["Top%s%d" % (place, index)] = top
        font = "Font%s%d" % (place, index)
        values.update({font + "1": colour, font + "2": -(size * 96 // 72), font + "3": size,
                       font + "4": CARD_FONT, font + "6": 15 if bold else 16, font + "7": 1})
        if caption is not None:
            values["Edit%s%d" % (1 if kind == 2 else 2, index)] = caption

    text(2, 12, 112, 9, 150, 28, 16, colour=0xFFFFFF, bold=True, caption="员工工作证")
    text(1, 6, 0, 0, 0, 0, 12, caption="工号")  # the stock table keeps the staff number in this field
    for row, (field, title) in enumerate([(0, "姓  名"), (1, "性  别"), (2, "部  门"), (3, "职  务"), (6, "工  号")]):
        top = 56 + 26 * row
        text(2, row, 18, top, 60, 22, 12, colour=0x703A1F, caption=title)
        text(1, field, 84, top, 140, 22, 12)
    pictures = {5: 80, 6: 100, 25: 56, 26: 236,     # photo
                7: 36, 8: 36, 21: 4, 22: 8,         # logo
                11: 80, 12: 30, 31: 236, 32: 160,   # barcode
                33: 100, 34: 96,                    # seal
                41: 1, 43: 1, 47: 1, 49: 1, 50: 1, 57: 1}
    values.update({"PageData%d" % k: v for k, v in pictures.items()})
    lines = []
    for line in stock.decode("gbk").split("\r\n"):
        key = line.split("=", 1)[0]
        if "=" in line and key in values:
            line = "%s=%s" % (key, values.pop(key))
        lines.append(line)
    if values:
        raise JourneyError("the stock template lacks %s" % ", ".join(sorted(values)))
    return "\r\n".join(lines).encode("gbk")


# The library's shown categories in their menu order, each with its entries
# and the name of the docs' photograph of its first template.
LIBRARY = [("工作证", 2, "work-card"), ("学生出入证", 2, "student-pass"), ("准考证", 2, "exam-ticket"),
           ("打卡机模板", 2, "time-card"), ("名片", 2, "business-card"), ("收据", 1, "receipt"),
           ("贺卡", 1, "greeting-card")]
WIZARD_CAPTION = "新建模板:请向作者提供您设计的优秀模板。"


def opened_title(category, number):
    """The window's title once the library template opened: it names the
    template's layout picture."""
    return "^%s.*/Mode/%s/%d\\.JPG$" % (MAIN_TITLE, category, number)


def library_journey(journey, data):
    """Every library template from the 模板库 menu, walked by its keys (the
    first of each category photographed for the docs), then again from the
    new-template wizard by mouse clicks on its entries."""
    # The scroll box is found once, while the card is narrow enough not to
    # cover the column its search walks up.
    sx, sy = journey.scrollbox_origin()
    for index, (category, count, shot) in enumerate(LIBRARY):
        for number in range(1, count + 1):
            keys = ["Down"] * index + ["Right"] + ["Down"] * (number - 1) + ["Return"]
            journey.menu_entry("alt+m", keys, opened_title(category, number))
            if number == 1:
                design = TemplateFile(data / "Mode" / category / "1.pmt")
                left, top = sx + design.page(30), sy + design.page(29)
                card = (left, top, left + design.page(9), top + design.page(10))
                picture = journey.grab(card)
                if journey.shots:
                    picture.save(journey.shots / ("library-%s.png" % shot))
    # The wizard's entries after the blank one, in the menu's order; its
    # radio group (8, 8, 484 x 200) lays 13 entries in 3 columns of 5 rows.
    entry = 1
    for category, count, _ in LIBRARY:
        for number in range(1, count + 1):
            wizard = journey.menu_entry("alt+f", "n", "^保存结果$")  # 新建模板(&New)
            journey.key("n")  # do not save: the wizard comes
            wizard = journey.wait_window("^%s$" % WIZARD_CAPTION)
            journey.xdo("windowactivate", "--sync", wizard, check=False)
            column, row = divmod(entry, 5)
            journey.click(wizard, 8 + 8 + column * 156 + 12, 8 + 16 + row * 36 + 18)
            journey.click(wizard, 356, 236)  # 确定
            journey.wait_gone("^%s$" % WIZARD_CAPTION)
            journey.wait_window(opened_title(category, number))
            entry += 1
    journey.alive()


def check_saved_text(saved, design, moved):
    """The saved file holds the moved place of data text 0, every other text
    value as it was read, and pictures that exist."""
    if saved.text_box(0)[:2] != moved[:2]:
        raise JourneyError("the saved file places the moved text at %r, not %r" % (saved.text_box(0)[:2], moved[:2]))
    before, after = dict(design.sections["Section3"]), dict(saved.sections["Section3"])
    for key in ("Left10", "Top10"):
        before.pop(key), after.pop(key)
    if before != after:
        changed = sorted(k for k in set(before) | set(after) if before.get(k) != after.get(k))
        raise JourneyError("the save changed other text values: %s" % ", ".join(changed))
    for key in ("photoImage2", "photoZhang", "photo3"):
        if not Path(saved.value("Section10", key)).is_file():
            raise JourneyError("the saved %s names no file: %r" % (key, saved.value("Section10", key)))


def card_output_journey(journey, work, table):
    """The card output commands of every menu on the chosen table: each
    entry that opens a window or dialog opens it and closes it again; the
    text box's editing entries run; the help goes to the desktop's opener;
    card pictures, a page picture and printed pages land on disk, the
    preview and its page setup are photographed."""
    from PIL import Image
    names = [n for n in read_names(table) if n]
    # 编辑: the text box's commands, then the font dialog.
    for downs in range(7):  # 撤消, 重写, 复制, 剪切, 粘贴, 删除, 全选
        run_entry(journey, "alt+e", ["Down"] * downs + ["Return"])
    journey.menu_entry("alt+e", "f", "^字体$")  # 字体(&Font)
    dismiss(journey, "^字体$")
    # 底图: the picture to insert is chosen in the open dialog; the seal
    # designer opens beside the card.
    journey.menu_entry("alt+b", ("Up", "Up", "Return"), "^" + OPEN_DIALOG_CAPTION + "$")  # 插入图像, last but one
    dismiss(journey, "^" + OPEN_DIALOG_CAPTION + "$")
    journey.menu_entry("alt+b", ("Up", "Return"), "^印章设计$")  # 插入公章, the last entry
    journey.close_window("^印章设计$")
    # 设置: another seal picture, chosen in the open dialog.
    journey.menu_entry("alt+o", "c", "^" + OPEN_DIALOG_CAPTION + "$")  # 更换印章(&CZhang)
    dismiss(journey, "^" + OPEN_DIALOG_CAPTION + "$")
    # 设置: the four panel toggles at the menu's end, each run twice so
    # that the window ends as it was; counted upwards from the top entry.
    for ups in (4, 3, 2, 1):  # 隐藏常用工具栏, 隐藏数据格, 收起选择框, 隐藏画板
        for _ in range(2):
            run_entry(journey, "alt+o", ["Up"] * ups + ["Return"])
    # 帮助: a word about the newest help, then the help pages go to the
    # desktop's opener.
    journey.menu_entry("alt+h", "h", MESSAGE_CAPTION)  # 帮助(&Help)
    journey.key("Return")
    journey.wait_gone(MESSAGE_CAPTION)
    opened = wait_file(journey, work / "opened.txt")
    if "Cardwright.html" not in opened.read_text():
        raise JourneyError("帮助 opened %r, not the help pages" % opened.read_text())
    # 文件 → 打印: page 1 of the table's cards into the PDF file.
    printed = work / "printed.pdf"
    journey.menu_entry("alt+f", ("p", "p", "Return"), RANGE_CAPTION)  # the second entry marked P
    answer_range(journey, 1, 1)
    check_printed(journey, printed, names)
    # 文件: the printer's setup, twice over (页面设置, once pages were
    # prepared, and 打印机设置).
    journey.menu_entry("alt+f", "e", "^打印设置$")  # 页面设置(S&etPaper)
    dismiss(journey, "^打印设置$")
    journey.menu_entry("alt+f", ("Up", "Up", "Return"), "^打印设置$")  # 打印机设置, above 退出
    dismiss(journey, "^打印设置$")
    # 逐张生成卡图: one card picture per record in a folder of the user's.
    cards = work / "CardPictures"
    cards.mkdir()
    chooser = journey.menu_entry("alt+f", "x", FOLDER_CHOOSER_CAPTION)  # 逐张生成卡图(E&xportPic)
    choose_folder(journey, chooser, cards)
    journey.wait_window(CHOICE_CAPTION)  # 要生成背面镜像图吗？
    journey.key("n")
    end = time.time() + TIMEOUT
    while len(list(cards.iterdir())) < len(read_names(table)):
        journey.alive()
        if time.time() > end:
            raise JourneyError("逐张生成卡图 wrote %d of %d card pictures" % (len(list(cards.iterdir())),
                                                                        len(read_names(table))))
        time.sleep(0.2)
    for card in cards.iterdir():
        with Image.open(card) as picture:
            if picture.width < 100 or picture.height < 60:
                raise JourneyError("the card picture %s is %dx%d" % ((card.name,) + picture.size))
    # 按页保存为图: the preview opens and page 1 is saved as a picture.
    journey.menu_entry("alt+f", "t", CHOICE_CAPTION)  # 按页保存为图(Page&ToPic): 保存为背面镜像图吗？
    journey.key("n")
    journey.wait_window(CHOICE_CAPTION)  # 所有页都保存为图吗？
    journey.key("n")
    journey.wait_window("^页码$")
    journey.key("ctrl+a")
    journey.type("1")
    journey.key("Return")
    journey.wait_window("^另存为$")
    page = work / "page1.jpg"
    journey.key("ctrl+a")
    journey.type(str(page))
    journey.key("Return")
    journey.wait_gone("^另存为$")
    wait_file(journey, page)
    with Image.open(page) as picture:  # A4 at the screen's 96 dots an inch
        if abs(picture.width - 794) > 2 or abs(picture.height - 1123) > 2:
            raise JourneyError("the page picture is %dx%d, not A4" % picture.size)
    journey.close_window(PRINT_PREVIEW_CAPTION)
    # 显示 → 打印预览: the preview, its page setup and its printing.
    preview = journey.menu_entry("alt+s", ("Up", "Return"), PRINT_PREVIEW_CAPTION)  # 打印预览, the last entry
    shot_window(journey, preview, "print-preview.png")
    journey.xdo("windowactivate", "--sync", preview, check=False)
    journey.click(preview, *PREVIEW_SETUP_BUTTON)
    setup = journey.wait_window("^页面设置$")
    shot_window(journey, setup, "page-setup.png")
    dismiss(journey, "^页面设置$")
    journey.xdo("windowactivate", "--sync", preview, check=False)
    journey.click(preview, *PREVIEW_PRINT_BUTTON)
    journey.wait_window(RANGE_CAPTION)
    answer_range(journey, 1, 1)
    check_printed(journey, printed, names)
    journey.xdo("windowactivate", "--sync", preview, check=False)
    journey.click(preview, *PREVIEW_CLOSE_BUTTON)
    journey.wait_gone(PRINT_PREVIEW_CAPTION)
    journey.alive()


def run_entry(journey, menu_key, keys):
    """Runs a menu entry that opens no window: the menu drops, the keys
    choose, and the menu is gone."""
    journey.xdo("windowactivate", "--sync", journey.main, check=False)
    menu = journey.popup_opens(lambda: journey.key(menu_key), menu_key)
    journey.key(*keys)
    end = time.time() + TIMEOUT
    while menu in journey.all_windows():
        if time.time() > end:
            raise JourneyError("%s %s: the menu stayed open" % (menu_key, keys))
        time.sleep(0.1)
    journey.alive()


def dismiss(journey, name):
    """Closes a dialog by Escape, as Cancel."""
    window = journey.wait_window(name)
    journey.xdo("windowactivate", "--sync", window, check=False)
    journey.key("Escape")
    journey.wait_gone(name)


def answer_range(journey, first, last):
    """The two questions of the page range, answered."""
    for page in (first, last):
        journey.wait_window(RANGE_CAPTION)
        journey.key("ctrl+a")
        journey.type(str(page))
        journey.key("Return")
        time.sleep(0.5)


def choose_folder(journey, chooser, folder):
    """The folder chooser's 选目录 takes `folder` typed into the desktop's
    folder dialog, and 确定 closes the chooser."""
    journey.xdo("windowactivate", "--sync", chooser, check=False)
    journey.click(chooser, *CHOOSE_FOLDER_BUTTON)
    dialog = journey.wait_window(FOLDER_DIALOG_CAPTION)
    journey.xdo("windowactivate", "--sync", dialog, check=False)
    journey.key("ctrl+a")
    journey.type(str(folder))
    journey.key("Return")
    journey.wait_gone(FOLDER_DIALOG_CAPTION)
    journey.xdo("windowactivate", "--sync", chooser, check=False)
    journey.click(chooser, *CHOOSER_OK_BUTTON)
    journey.wait_gone(FOLDER_CHOOSER_CAPTION)


def shot_window(journey, window, name):
    """A photograph of one window (its frame left out) once it stopped
    changing, into the screenshot folder."""
    if not journey.shots:
        return
    from PIL import ImageGrab
    journey.xdo("mousemove", "--window", window, "0", "0")
    out = journey.xdo("getmouselocation", "--shell")
    at = dict(line.split("=", 1) for line in out.splitlines() if "=" in line)
    x, y = int(at["X"]), int(at["Y"])
    w, h = journey.geometry(window)[2:]
    journey.xdo("mousemove", "--window", window, str(w + 40), str(h + 40))  # the pointer off the window
    last = None
    end = time.time() + TIMEOUT
    while time.time() < end:
        shot = ImageGrab.grab(xdisplay=journey.display.name).crop((x, y, x + w, y + h))
        if last is not None and shot.tobytes() == last.tobytes():
            break
        last = shot
        time.sleep(0.3)
    journey.shots.mkdir(parents=True, exist_ok=True)
    shot.save(journey.shots / name)


def output_env(env, work):
    """Printing goes into work/printed.pdf, never to a printer, and what
    the program hands the desktop to open is written to work/opened.txt."""
    bin_dir = work / "bin"
    bin_dir.mkdir()
    opener = bin_dir / "xdg-open"
    opener.write_text('#!/bin/sh\nprintf "%%s\\n" "$@" >> "%s"\n' % (work / "opened.txt"))
    opener.chmod(0o755)
    return dict(env, CW_PRINTER_PDF=str(work / "printed.pdf"), PATH=str(bin_dir) + os.pathsep + env.get("PATH", ""))


def wait_file(journey, path):
    """Waits until a file exists and stopped growing."""
    end = time.time() + TIMEOUT
    size = -1
    while True:
        journey.alive()
        if path.is_file() and path.stat().st_size == size and size > 0:
            return path
        size = path.stat().st_size if path.is_file() else -1
        if time.time() > end:
            raise JourneyError("no file %s" % path)
        time.sleep(0.3)


def check_printed(journey, pdf, names):
    """The printed PDF: one page holding a card holder's name as text."""
    wait_file(journey, pdf)
    text = subprocess.run(["pdftotext", str(pdf), "-"], capture_output=True, text=True).stdout
    pages = text.count("\f")
    if pages != 1 or not any(name in text for name in names):
        raise JourneyError("the printed PDF has %d pages and none of the names %r" % (pages, names))
    pdf.unlink()


def journey_failed(journey, display):
    """Leaves the screen and the program's errors for the one who reads the log."""
    failure = Path.cwd() / "journey-failure.png"
    from PIL import ImageGrab
    ImageGrab.grab(xdisplay=display.name).save(failure)
    print("screen at the failure:", failure)
    if journey.program and journey.program.poll() is None:
        journey.program.kill()
    if journey.program:
        out, err = journey.program.communicate()
        print("program stderr:\n" + err)


def scramble(data, undo=False):
    """Templates outside the stock folder: each 4096-byte block XORed with a
    running state that is fed with the stored (scrambled) bytes."""
    out = bytearray()
    for start in range(0, len(data), 4096):
        k = 0
        for byte in data[start:start + 4096]:
            result = byte ^ (k >> 8)
            stored = byte if undo else result
            out.append(result)
            k = ((stored + k) * 0xB500 + 0xC900) & 0xFFFF
    return bytes(out)


def test_scanners(folder):
    """A scanner configuration with only the library's test backend: two
    scanners that deliver white pages of 80 x 100 mm at 50 dpi."""
    folder.mkdir()
    (folder / "dll.conf").write_text("test\n")
    (folder / "test.conf").write_text("number_of_devices 2\nmode Gray\ndepth 8\nresolution 50.0\n"
                                      "test-picture \"Solid white\"\nbr_x 80.0\nbr_y 100.0\n")
    return folder


def read_names(dbf):
    """The AAAA texts of a dBASE table, read by an independent reader."""
    import dbfread
    table = dbfread.DBF(str(dbf), encoding="gbk", char_decode_errors="strict", ignore_missing_memofile=True)
    return [(record.get("AAAA") or "").strip() for record in table]


def stderr_errors(text):
    return [line for line in text.splitlines() if line.strip()]


def main():
    program, source = Path(sys.argv[1]).resolve(), Path(sys.argv[2]).resolve()
    shots = Path(sys.argv[3]).resolve() if len(sys.argv) > 3 else None
    work = Path(tempfile.mkdtemp(prefix="cw-journey-"))
    display = None
    journey = None
    try:
        data = work / "data"
        shutil.copytree(source / "data", data)
        cards = work / "cards"
        shutil.copytree(data / "Mode" / "DATA", cards)
        home = work / "home"
        (home / "Desktop").mkdir(parents=True)
        runtime = work / "runtime"
        runtime.mkdir(mode=0o700)
        display = Display(work)
        env = dict(display.env, HOME=str(home), XDG_RUNTIME_DIR=str(runtime),
                   XDG_CONFIG_HOME=str(home / ".config"), LC_ALL="C.UTF-8")
        env.pop("QT_QPA_PLATFORM", None)
        env = output_env(env, work)
        env["SANE_CONFIG_DIR"] = str(test_scanners(work / "sane"))
        env["CW_CAMERA"] = "pattern"  # the camera layer's test pattern
        journey = Journey(display, env, shots)
        journey.start(program, data)
        journey.menus()
        journey.batch_window()
        journey.effect_dialogs()
        journey.stock_table_refuses(data / "Mode" / "DATA" / "data.DBF")
        journey.choose_table(cards / "data.DBF")
        journey.copy_table_takes(cards / "data.DBF", "王小明")
        journey.command_windows()
        journey.picture_import(cards / "data.DBF", work / "photos")
        journey.scanner_capture(cards / "data.DBF")
        journey.camera_capture(cards / "data.DBF")
        barcode_journey(journey, cards / "data.DBF")
        journey.page_range_refused()
        card_output_journey(journey, work, cards / "data.DBF")
        collected = work / "collected"
        collected.mkdir()
        journey.collect_save(collected)
        if "王小明" not in read_names(collected / "data.DBF"):
            raise JourneyError("the collected table lacks the typed name")
        template = work / "员工卡.pmt"
        template.write_bytes(scramble((data / "Mode" / "未命名.pmt").read_bytes()))
        template.touch()
        os.utime(template, (0, 0))
        journey.open_template(template)
        journey.exit(save=True)
        saved = scramble(template.read_bytes(), undo=True)
        if template.stat().st_mtime == 0 or b"[Section10]\r\n" not in saved or "姓名".encode("gbk") not in saved:
            raise JourneyError("the template was not saved at the close")
        errors = stderr_errors(journey.program.stderr.read())
        if errors:
            raise JourneyError("stderr:\n" + "\n".join(errors))
        journey = DesignJourney(display, env, shots)
        template_journey(journey, program, data, work)
        library_journey(journey, data)  # while the card is narrow
        card_screenshot(journey, data, work)
        layout_drawing(journey, work)  # widens the card it opened
        journey.exit(save=False)
        errors = stderr_errors(journey.program.stderr.read())
        if errors:
            raise JourneyError("stderr:\n" + "\n".join(errors))
        print("journey passed")
        return 0
    except JourneyError as e:
        print("journey failed:", e)
        traceback.print_exc()
        if journey:
            journey_failed(journey, display)
        return 1
    finally:
        if display:
            display.close()
        shutil.rmtree(work, ignore_errors=True)


# The preview window and its tool buttons (client pixels).
PRINT_PREVIEW_CAPTION = "^预览$"
CHOICE_CAPTION = "^任君选择$"
PREVIEW_SETUP_BUTTON = (28, 10)
PREVIEW_PRINT_BUTTON = (72, 10)
PREVIEW_CLOSE_BUTTON = (556, 10)

# Where things are on the main window (client pixels), and the captions met.
MENU_CAPTIONS = ["文件(F)", "编辑(E)", "数据库(D)", "底图(B)", "模板库(M)", "显示(S)", "设置(O)", "帮助(H)"]
MENUS_WITH_ENTRIES = ["文件(F)", "编辑(E)", "数据库(D)", "底图(B)", "模板库(M)", "显示(S)", "设置(O)", "帮助(H)"]
# Menus clicked at MENU_BUTTON_WIDTH steps; the others are reached by
# Alt+letter (a wider caption moves the buttons after it).
MENUS_BY_MOUSE = ["文件(F)", "数据库(D)", "模板库(M)", "显示(S)", "帮助(H)"]
MENU_BAR_LEFT = 11
MENU_BAR_Y = 13
MENU_BUTTON_WIDTH = 64
GRID_FROM_RIGHT = 80
GRID_FIRST_ROW_Y = 108
GUARD_CAPTION = "^Cardwright$"
FOLDER_CHOOSER_CAPTION = "选择要保存的目录"
FOLDER_DIALOG_CAPTION = "Select Directory"
# The folder chooser's 选目录 and 确定 (client pixels of its window).
CHOOSE_FOLDER_BUTTON = (48, 20)
CHOOSER_OK_BUTTON = (285, 308)
# Mean differences of card photographs, in levels: the same card with its
# layout picture saved again as JPEG, and a text there or not.
SAME = 4
CHANGED = 12
OPEN_DIALOG_CAPTION = "打开"
CHOOSER_CAPTION = "选择要保存的目录"
RANGE_CAPTION = "打印范围设置"
MESSAGE_CAPTION = "^Cardwright$"
# The barcode window's field combo box and batch button (client pixels), and
# what to take around the place xdotool gives for its client area (left,
# above, right, and less below) to have the window with its frame: under
# openbox that place lies a title bar's height below the client's top.
BARCODE_FIELD_COMBO = (160, 380)
# The start-up template's caption of the field EEEE (its numbers).
BARCODE_FIELD_CAPTION = "编号"
BARCODE_FIELD = "EEEE"
BARCODE_PRINT_BUTTON = (360, 380)
BARCODE_WINDOW_FRAME = (2, 40, 0, 19)
# The colour of the card panel's scroll box.
SCROLLBOX_COLOUR = (192, 220, 192)
# The rulers' breadth along the scroll box's top and left edges.
RULER_THICKNESS = 25
# How far the journey drags a text with the mouse.
TEXT_MOVE = (60, 40)
# The batch window's picture buttons (client pixels from the top of its
# bottom panel) and the processing preview dialog's caption.
EFFECT_PANEL_HEIGHT = 60
EDIT_PICTURE_BUTTON = (52, 16)
COLOUR_BUTTON = (681, 43)
EFFECT_BUTTON = (609, 43)
PREVIEW_CAPTION = "^Preview$"
# 设置图片数据 on the database editing window, the field chooser's 确 定, and
# the colours of the photos imported by name.
PICTURE_IMPORT_BUTTON = (444, 16)
FIELD_CHOOSER_OK = (89, 308)
# 使用扫描仪... on the database editing window; 启用扫描仪, 裁剪图像, 图像入库,
# 向前 and 向后 on the scanner window; the crop frame's size at the start.
SCANNER_BUTTON = (346, 16)
SCAN_BUTTON = (108, 244)
CROP_BUTTON = (108, 298)
STORE_BUTTON = (108, 392)
PREVIOUS_RECORD_BUTTON = (57, 360)
NEXT_RECORD_BUTTON = (159, 360)
SCAN_FRAME = (126, 110)
# 摄像头拍照... on the database editing window; the camera window's 拍照,
# 截图, 入库, 向前 and 向后; two points of its live preview (on the
# pattern's white and yellow bars) and the crop frame's size at the start.
CAMERA_BUTTON = (248, 16)
PHOTO_BUTTON = (640, 346)
CUT_BUTTON = (496, 376)
CAMERA_STORE_BUTTON = (640, 376)
CAMERA_PREVIOUS_BUTTON = (496, 434)
CAMERA_NEXT_BUTTON = (640, 434)
PREVIEW_BARS = [(28, 128), (68, 128)]
CAMERA_FRAME = (161, 201)
PHOTO_COLOURS = [(220, 40, 40), (40, 160, 60), (40, 60, 200), (200, 180, 30)]
# The face of the texts on the card photographed for the docs.
CARD_FONT = "黑体"

if __name__ == "__main__":
    sys.exit(main())
