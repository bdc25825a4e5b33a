"""The real desktop program under a real X server (Xvfb): it starts on a data folder, shows its
window, refuses a second silent start, and saves its layout when the session ends it."""

import os
import signal
import subprocess
import sys
import tempfile
import datetime
import re
import time
import unittest

PROGRAM, CLI = sys.argv[1], sys.argv[2]


def wait_for(condition, seconds):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        if condition():
            return True
        time.sleep(0.1)
    return condition()


class DesktopProgramTest(unittest.TestCase):
    def setUp(self):
        self.root = tempfile.TemporaryDirectory(prefix="tagwacht-e2e-")
        base = self.root.name
        self.data = os.path.join(base, "data")
        self.runtime = os.path.join(base, "runtime")
        for folder in (self.data, self.runtime, os.path.join(base, "config"), os.path.join(base, "home")):
            os.makedirs(folder, mode=0o700)
        read, write = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write), "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
            pass_fds=(write,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write)
        with os.fdopen(read) as display_pipe:
            display = display_pipe.readline().strip()
        self.assertTrue(display, "Xvfb did not start")
        self.env = dict(os.environ,
                        DISPLAY=":" + display, QT_QPA_PLATFORM="xcb",
                        TAGWACHT_DATA_DIR=self.data, XDG_RUNTIME_DIR=self.runtime,
                        XDG_CONFIG_HOME=os.path.join(base, "config"), HOME=os.path.join(base, "home"),
                        # The update check and the gift shop stay on this machine (nothing listens).
                        TAGWACHT_SITE_URL="http://127.0.0.1:9", TAGWACHT_SHOP_URL="http://127.0.0.1:9",
                        # Qt's and fontconfig's caches live until the process ends.
                        ASAN_OPTIONS="detect_leaks=0:verify_asan_link_order=0")
        # Never due: 100 and 200 days away, their last occurrences marked when they were added.
        for name, days in (("Anna Muster", 100), ("Bernd Beispiel", 200)):
            self.add(name, self.date_in(days, 1980))
        self.program = None

    @staticmethod
    def date_in(days, year):
        day = datetime.date.today() + datetime.timedelta(days=days)
        if (day.month, day.day) == (2, 29):
            day += datetime.timedelta(days=1)
        return "%02d.%02d.%d" % (day.day, day.month, year)

    def add(self, name, date):
        subprocess.run([CLI, "--data-dir", self.data, "add", name, date], env=self.env, check=True,
                       stdout=subprocess.DEVNULL)

    def start(self, *arguments):
        self.program = subprocess.Popen([PROGRAM, *arguments], env=self.env, stdout=subprocess.PIPE,
                                        stderr=subprocess.STDOUT)

    def tearDown(self):
        if self.program and self.program.poll() is None:
            self.program.kill()
            self.program.wait()
        self.xvfb.terminate()
        self.xvfb.wait()
        self.root.cleanup()

    def window_names(self):
        tree = subprocess.run(["xwininfo", "-root", "-tree"], env=self.env, capture_output=True, text=True)
        return tree.stdout

    def test_starts_refuses_a_silent_second_start_and_saves_on_session_end(self):
        self.start()
        socket = os.path.join(self.runtime, "tagwacht-%d" % os.getuid())
        self.assertTrue(wait_for(lambda: os.path.exists(socket), 30), "no instance socket")
        self.assertTrue(wait_for(lambda: '"Tagwacht"' in self.window_names(), 30), self.window_names())
        self.assertIsNone(self.program.poll())

        # The first start wrote the first-run options, readable by the user alone.
        options_path = os.path.join(self.data, "options.ini")
        self.assertTrue(wait_for(lambda: os.path.exists(options_path), 10))
        with open(options_path, encoding="utf-8") as options:
            first_run = options.read()
        self.assertIn("OptionsSet=1", first_run)
        self.assertIn("Updatecheck=1", first_run)
        self.assertEqual(os.stat(options_path).st_mode & 0o777, 0o600)

        # What the screen shows: a picture of the whole X screen, no longer a plain background
        # (a window is mapped a moment before it is painted).
        shot = os.path.join(self.root.name, "screen.png")

        def painted():
            subprocess.run(["import", "-window", "root", shot], env=self.env, check=True, timeout=30)
            return os.path.getsize(shot) > 1000
        self.assertTrue(wait_for(painted, 30), "the screen stays empty")

        second = subprocess.run([PROGRAM, "AUTOSTART"], env=self.env, timeout=30, capture_output=True)
        self.assertEqual(second.returncode, 0)
        self.assertIsNone(self.program.poll(), "the first instance must go on")

        # Opening an archive with the program hands it to the running instance, which imports it.
        archive = os.path.join(self.root.name, "backup.twf")
        subprocess.run([CLI, "--data-dir", self.data, "export", archive], env=self.env, check=True,
                       stdout=subprocess.DEVNULL)
        opened = subprocess.run([PROGRAM, archive], env=self.env, timeout=30, capture_output=True)
        self.assertEqual(opened.returncode, 0)

        def names_in_data():
            with open(os.path.join(self.data, "entries.ini"), encoding="utf-8") as entries:
                return entries.read().count("Name=")
        self.assertTrue(wait_for(lambda: names_in_data() == 4, 30), "the archive was not imported")

        self.program.send_signal(signal.SIGTERM)
        self.assertEqual(self.program.wait(timeout=30), 0)
        with open(os.path.join(self.data, "options.ini"), encoding="utf-8") as options:
            text = options.read()
        self.assertIn("[window]", text.lower())
        self.assertIn("width=", text.lower())

    def screenshot(self, name):
        shot = os.path.join(os.environ.get("TAGWACHT_E2E_SHOTS", self.root.name), name)
        subprocess.run(["import", "-window", "root", shot], env=self.env, check=True, timeout=30)
        return shot

    def test_an_entry_due_today_opens_the_reminder_window(self):
        # A first run writes the options; the reminder then plays no sound (this machine may have
        # no sound output, which would add an error box) but keeps the light show.
        self.start()
        options_path = os.path.join(self.data, "options.ini")
        self.assertTrue(wait_for(lambda: '"Tagwacht"' in self.window_names(), 30), self.window_names())
        self.program.send_signal(signal.SIGTERM)
        self.assertEqual(self.program.wait(timeout=30), 0)
        with open(options_path, encoding="utf-8") as options:
            text = options.read()
        self.assertIn("RO_sound=1", text)
        with open(options_path, "w", encoding="utf-8") as options:
            options.write(text.replace("RO_sound=1", "RO_sound=0"))

        self.add("Clara Heute", self.date_in(0, 1985))
        started = time.monotonic()
        self.start()
        # The reminder window has a fixed client size of 444 x 553.
        self.assertTrue(wait_for(lambda: re.search(r"\b444x553\+", self.window_names()), 30), self.window_names())
        opened_after = time.monotonic() - started
        print("reminder window open %.1f s after the start" % opened_after, file=sys.stderr)
        self.assertLess(opened_after, 15)

        today = datetime.date.today().strftime("%d.%m.%Y")

        def reminded():
            with open(os.path.join(self.data, "rem.ini"), encoding="utf-8") as rem:
                return today in rem.read()
        self.assertTrue(wait_for(reminded, 10), "no day mark for today")
        time.sleep(1)
        self.assertGreater(os.path.getsize(self.screenshot("reminder.png")), 1000)
        self.assertIsNone(self.program.poll())
        self.program.send_signal(signal.SIGTERM)
        self.assertEqual(self.program.wait(timeout=30), 0)


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0]], verbosity=2)
