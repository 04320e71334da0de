#!/usr/bin/env python3
"""shiftlet.exe end to end under Wine, on a virtual X display, driven by xdotool.

Each scenario gets its own Xvfb display and a fresh Wine prefix (a copy of a prepared one) with
C:\\Velmora\\menu.qof and C:\\Program Files\\Velmora\\default.qcf laid out as on a user's machine.
It waits (bounded polling) for every box and dialog, checks its caption through X11 and its
texts through window_reader.exe, keeps a screenshot of it, answers with keys, and at the end
checks the exit status and the files' bytes.

  e2e_test.py --wine LOADER --exe EXE --reader EXE --holder EXE --objdump OBJDUMP
              --examples DIR --template DIR --artifacts DIR [--arch x64|x86]
              [--windows-version NAME] prepare|SCENARIO

--windows-version has Wine report that Windows (a `winecfg -v` name) to the program, and checks
that it is the oldest the program's header accepts. file_holder.exe (--holder) holds a file open
in the same Wine session, as a running Velmora would. A scenario that needs what the programs do
not have yet says why and exits 77, which CTest counts as skipped.
"""

import argparse
import json
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import time

# The texts, word for word as src/driver/messages.h has them.
ASK_INSTALLED = "Have you already installed Velmora 1.1?"
INSTALL_FIRST = ("Please make sure you have installed Velmora 1.1 first and then run the Shiftlet "
                 "tool again.")
ASK_CONTINUE = ("This tool will convert your old menu file from Velmora 1.0 to the new file "
                "specification compatible, so that it could be used with Velmora 1.1 and later. "
                "Would you like to continue?")
SELECT_SOURCE = "You will now be requested to select the old menu.qof file from Velmora 1.0"
SELECT_DESTINATION = ("Please locate the folder in which you have installed Velmora 1.1 or later "
                      "and select a suitable file name for the new menu file or leave the one "
                      "chosen for you.")
SUCCESS = ("The conversion has been successful! You don't have to do anything more now, just "
           "start enjoying your menu in a brand new engine! :)")
FAILURE = ("An error occured during the conversion. Please send your menu.qof file to Tollenby "
           "for analysis and we will troubleshoot it for you. Thank you and sorry for your "
           "inconvenience.")
SOURCE_TITLE = "Select your source QOF file"
DESTINATION_TITLE = "Select your destination QNF file"

# examples/menu.qof converted: the same bytes tests/blackbox/shiftlet_program_test.cpp pins.
SAMPLE_CONVERTED = (
    b"70\r\n"
    b"e,0,File,2,1,,,0\r\ne,1,Edit,2,2,,,0\r\ne,2,Help,2,3,,,0\r\n"
    b"e,3,Open...,0,open,,,1\r\ne,4,Save,0,save,,,2\r\ne,5,Save As...,0,saveas,,,3\r\n"
    b"e,6,Recent files,4,,,,0\r\ne,7,Exit,5,quit,,,0\r\ne,8,Undo,0,undo,,,4\r\n"
    b"e,9,Redo,0,redo,,,5\r\ne,10,Preferences,3,prefs,,,0\r\ne,11,Contents,0,help,,,6\r\n"
    b"e,12,About Velmora,0,about,,,7\r\n"
    b"n, 0 ,-1 , 0 \r\nn, 1 ,-1 , 1 \r\nn, 2 ,-1 , 2 \r\nn, 3 , 0 , 3 \r\nn, 4 , 0 , 4 \r\n"
    b"n, 5 , 0 , 5 \r\nn, 6 , 0 , 6 \r\nn, 7 , 0 , 7 \r\nn, 8 , 1 , 8 \r\nn, 9 , 1 , 9 \r\n"
    b"n, 10 , 1 , 10 \r\nn, 11 , 2 , 11 \r\nn, 12 , 2 , 12 \r\n"
    b"x\r\n")
# Text where a menu number belongs: it reads, but writing the new file fails part way.
BAD_MENU = b'70\r\n"A",1,0,"ab",0\r\n'
# An item whose text retitles the window, clears the screen and recolours it; %s is its fifth field.
ESCAPING_MENU = b'1\r\n"\x1b]0;PWNED\x07\x1b[2J\x1b[31m red",0,0,"",%s\r\n'

WAIT_SECONDS = 60  # bound on any one wait; a loaded 2-core machine needs a few seconds at most
POLL_SECONDS = 0.2
READER_SECONDS = 5  # a look that stalls is abandoned and made again

# The oldest Windows supported (Vista), as the PE header states it.
OLDEST_WINDOWS = (6, 0)
# What the PE header says for each build, and where its programs find the system DLLs in a
# 64-bit prefix.
ARCHITECTURES = {
    "x64": {"machine": 0x8664, "magic": 0x20B, "manifest": "amd64", "dlls": "system32"},
    "x86": {"machine": 0x14C, "magic": 0x10B, "manifest": "x86", "dlls": "syswow64"},
}

# The paths of the laid-out files as the programs name them.
CONFIGURATION = "C:\\Program Files\\Velmora\\default.qcf"
NEW_MENU_NAME = "migrated.menu.qnf"

YES_NO = {"buttons": ["&Yes", "&No"], "default": "&Yes"}
NO_FIRST = {"buttons": ["&Yes", "&No"], "default": "&No"}
OK = {"buttons": ["OK"], "default": "OK"}
RETRY_CANCEL = {"buttons": ["&Retry", "Cancel"], "default": "&Retry"}


class Failure(Exception):
  pass


def check(condition, message):
  if not condition:
    raise Failure(message)


def pe_versions(objdump, exe):
  """The Windows versions the PE header of `exe` states, as `objdump -p` names them."""
  dump = subprocess.run([objdump, "-p", exe], capture_output=True, text=True, check=True).stdout
  fields = ("MajorOSystemVersion", "MinorOSystemVersion", "MajorSubsystemVersion",
            "MinorSubsystemVersion")
  versions = {}
  for line in dump.splitlines():
    words = line.split()
    if len(words) == 2 and words[0] in fields:
      versions[words[0]] = int(words[1])
  check(sorted(versions) == sorted(fields), "objdump -p shows only %s" % versions)
  return versions


class Session:
  """One run of shiftlet.exe on its own display in its own Wine prefix."""

  def __init__(self, args, name):
    self.args = args
    self.name = name
    self.artifacts = os.path.join(args.artifacts, name)
    shutil.rmtree(self.artifacts, ignore_errors=True)
    os.makedirs(self.artifacts)
    self.shots = 0
    self.work = tempfile.mkdtemp(prefix="shiftlet-e2e-" + name + "-")
    self.prefix = os.path.join(self.work, "prefix")
    self.env = dict(os.environ, WINEPREFIX=self.prefix, WINEDEBUG="-all",
                    WINEDLLOVERRIDES="mscoree,mshtml=")
    self.env.pop("WINEARCH", None)
    self.xvfb = None
    self.program = None
    self.holder = None
    self.started = time.monotonic()

  # -- the machine ------------------------------------------------------------------------------

  def lay_out(self, menu=None, old_name="menu.qof"):
    # Hard links for the large, never-written part of the prepared prefix; the registry files are
    # copied, as Wine rewrites them.
    subprocess.run(["cp", "-al", self.args.template, self.prefix], check=True)
    for name in ("system.reg", "user.reg", "userdef.reg"):
      path = os.path.join(self.prefix, name)
      if os.path.exists(path):
        os.unlink(path)
        shutil.copy2(os.path.join(self.args.template, name), path)
    self.old_folder = self.c_path("Velmora")
    self.new_folder = self.c_path("Program Files", "Velmora")
    os.makedirs(self.old_folder)
    os.makedirs(self.new_folder)
    with open(os.path.join(self.args.examples, "menu.qof"), "rb") as f:
      self.menu = menu if menu is not None else f.read()
    with open(os.path.join(self.args.examples, "default.qcf"), "rb") as f:
      self.configuration = f.read()
    self.write(os.path.join(self.old_folder, old_name), self.menu)
    self.write(os.path.join(self.new_folder, "default.qcf"), self.configuration)
    if self.args.windows_version:
      self.report_windows(self.args.windows_version)

  def report_windows(self, name):
    """Has Wine report Windows `name`, the oldest the program's header accepts, to it."""
    run = subprocess.run([self.args.wine, "winecfg", "-v", name], env=self.env,
                         stdin=subprocess.DEVNULL, capture_output=True, timeout=WAIT_SECONDS)
    check(run.returncode == 0, "winecfg does not know Windows %r in this prefix" % name)
    # The command interpreter of the program's own bitness, so it sees what the program sees.
    shell = "C:\\windows\\%s\\cmd.exe" % ARCHITECTURES[self.args.arch]["dlls"]
    run = subprocess.run([self.args.wine, shell, "/c", "ver"], env=self.env,
                         stdin=subprocess.DEVNULL, capture_output=True, timeout=WAIT_SECONDS)
    reported = run.stdout.decode("latin-1").strip()
    header = pe_versions(self.args.objdump, self.args.exe)
    oldest = "Microsoft Windows %d.%d." % (header["MajorOSystemVersion"],
                                           header["MinorOSystemVersion"])
    check(reported.startswith(oldest),
          "Wine reports %r for %s, not the header's oldest Windows %s" % (reported, name, oldest))
    print("%5.1f s  Wine reports %s" % (time.monotonic() - self.started, reported))

  def c_path(self, *parts):
    return os.path.join(self.prefix, "drive_c", *parts)

  @staticmethod
  def write(path, data):
    with open(path, "wb") as f:
      f.write(data)

  @staticmethod
  def read(path):
    with open(path, "rb") as f:
      return f.read()

  def start_display(self):
    read_end, write_end = os.pipe()
    self.xvfb = subprocess.Popen(
        ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
        pass_fds=(write_end,), stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
        stderr=subprocess.DEVNULL)
    os.close(write_end)
    number = b""
    deadline = time.monotonic() + WAIT_SECONDS
    while not number.endswith(b"\n"):
      check(time.monotonic() < deadline, "Xvfb never said which display it took")
      chunk = os.read(read_end, 16)
      check(chunk, "Xvfb ended before it took a display")
      number += chunk
    os.close(read_end)
    self.env["DISPLAY"] = ":" + number.decode().strip()

  def start(self, *args):
    if self.xvfb is None:  # a second run in one scenario keeps the display
      self.start_display()
    # Bring this prefix's Wine up first (server, services): a program and the reader starting
    # together in a new prefix can stall each other for many seconds.
    subprocess.run([self.args.wine, self.args.reader, "dialogs"], env=self.env,
                   stdin=subprocess.DEVNULL, capture_output=True, timeout=WAIT_SECONDS)
    print("%5.1f s  Wine is up" % (time.monotonic() - self.started))
    # Started from a folder of its own, so the files it finds come from the dialogs' folders.
    self.program = subprocess.Popen([self.args.wine, self.args.exe, *args], cwd=self.work,
                                    env=self.env,
                                    stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                                    stderr=subprocess.STDOUT)

  def stop(self, passed):
    for process in (self.program, self.holder):
      if process and process.poll() is None:
        process.kill()
    # Wait for this prefix's wineserver to be gone: the next scenario's prefix may get the same
    # inode, and with it the same server socket.
    for command in (["wineserver", "-k"], ["wineserver", "-w"]):
      try:
        subprocess.run(command, env=self.env, stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=WAIT_SECONDS)
      except subprocess.TimeoutExpired:
        print("wineserver did not end within %d s" % WAIT_SECONDS)
    if self.xvfb:
      self.xvfb.terminate()
      self.xvfb.wait()
    if passed:
      shutil.rmtree(self.work, ignore_errors=True)
    else:
      print("kept for a look: " + self.work)

  def hold(self, path, sharing, release):
    """Has file_holder.exe hold the file at Windows `path` with `sharing` (none, rw or rwd) until
    the file at Windows `release` exists; returns once it holds it."""
    self.holder = subprocess.Popen(
        [self.args.wine, self.args.holder, path, sharing, str(WAIT_SECONDS * 1000), release],
        cwd=self.work, env=self.env, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
        stderr=subprocess.PIPE)
    line = self.holder.stdout.readline()  # bounded: the holder ends after WAIT_SECONDS anyway
    check(line.strip() == b"holding", "file_holder.exe said %r %r" %
          (line, self.holder.stderr.read() if self.holder.poll() is not None else b""))
    print("%5.1f s  %s held, sharing %s" % (time.monotonic() - self.started, path, sharing))

  def release(self, release):
    """Lets go of the file held, by making the file at Unix `release`."""
    self.write(release, b"")
    self.holder.wait(timeout=WAIT_SECONDS)
    print("%5.1f s  let go" % (time.monotonic() - self.started))

  def cli_in_background(self, *args):
    """Starts shiftlet-cli.exe in Wine's cmd, which says its whole exit status (1618 does not fit
    in a Unix one); cli_status gives the status and the output."""
    cli = "Z:" + self.args.cli.replace("/", "\\")
    line = " ".join((cli,) + args) + " & echo status=%ERRORLEVEL%"
    print("%5.1f s  %s" % (time.monotonic() - self.started, line))
    return subprocess.Popen([self.args.wine, "cmd", "/c", line], cwd=self.work, env=self.env,
                            stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                            stderr=subprocess.PIPE)

  @staticmethod
  def cli_status(run):
    try:
      out, err = run.communicate(timeout=WAIT_SECONDS)
    except subprocess.TimeoutExpired:
      run.kill()
      raise Failure("shiftlet-cli.exe did not end within %d s" % WAIT_SECONDS)
    out, err = out.decode("latin-1"), err.decode("latin-1")
    head, _, status = out.rstrip("\r\n").rpartition("status=")
    check(status.isdigit(), "no status from cmd: %r %r" % (out, err))
    return int(status), head, err

  def until_menu_written(self, run):
    """Waits until the new menu file is complete while `run` goes on: the run is then at
    default.qcf. Returns when it saw it."""
    menu = os.path.join(self.new_folder, NEW_MENU_NAME)
    deadline = time.monotonic() + WAIT_SECONDS
    while not (os.path.exists(menu) and self.read(menu) == SAMPLE_CONVERTED):
      if run.poll() is not None:
        raise Failure("the run ended before it wrote the menu file: %r" % (run.communicate(),))
      check(time.monotonic() < deadline, "no menu file within %d s" % WAIT_SECONDS)
      time.sleep(0.05)
    print("%5.1f s  menu file written" % (time.monotonic() - self.started))
    return time.monotonic()

  # -- what is on screen ------------------------------------------------------------------------

  def dialogs(self):
    try:
      run = subprocess.run([self.args.wine, self.args.reader, "dialogs"], env=self.env,
                           stdin=subprocess.DEVNULL, capture_output=True, timeout=READER_SECONDS)
    except subprocess.TimeoutExpired:
      return []  # counted against the caller's bound like any other empty look
    if run.returncode != 0:
      return []
    return json.loads(run.stdout.decode("latin-1").strip() or "[]")

  def x_windows(self, title):
    run = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^%s$" % title],
                         env=self.env, stdin=subprocess.DEVNULL, capture_output=True)
    return run.stdout.split()

  def wait_for(self, title, what, **expected):
    """Waits for the one dialog on screen titled `title` that matches `expected`."""
    deadline = time.monotonic() + WAIT_SECONDS
    seen = []
    while time.monotonic() < deadline:
      check(self.program.poll() is None,
            "shiftlet.exe ended (status %s) while %s was awaited" % (self.program.returncode, what))
      seen = self.dialogs()
      windows = self.x_windows(title)
      if len(seen) == 1 and seen[0]["title"] == title and windows:
        dialog = seen[0]
        if all(dialog.get(key) == value for key, value in expected.items()):
          print("%5.1f s  %s" % (time.monotonic() - self.started, what))
          self.screenshot(what)
          return dialog, windows[0]
      time.sleep(POLL_SECONDS)
    self.screenshot("timeout-" + what)
    raise Failure("no %s (%r, %r) within %d s; on screen: %s" %
                  (what, title, expected, WAIT_SECONDS, json.dumps(seen)))

  def screenshot(self, what):
    self.shots += 1
    path = os.path.join(self.artifacts, "%02d-%s.png" % (self.shots, what))
    subprocess.run(["import", "-window", "root", path], env=self.env, stdin=subprocess.DEVNULL,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=WAIT_SECONDS)

  def press(self, window, key):
    # No window manager: give the window the keyboard focus ourselves, then type.
    subprocess.run(["xdotool", "windowfocus", "--sync", window], env=self.env,
                   stdin=subprocess.DEVNULL, check=True, timeout=WAIT_SECONDS)
    subprocess.run(["xdotool", "key", "--clearmodifiers", key], env=self.env,
                   stdin=subprocess.DEVNULL, check=True, timeout=WAIT_SECONDS)

  # -- the user's side --------------------------------------------------------------------------

  def box(self, text, buttons, key, what, icon=False):
    dialog, window = self.wait_for("Shiftlet", what, text=text)
    if self.env.get("LC_ALL", "").startswith("ja_"):
      # Wine's own button labels are Japanese there; their number and the default still count.
      check(len(dialog["buttons"]) == len(buttons["buttons"]),
            "%s buttons: %s" % (what, dialog["buttons"]))
      check(dialog["default"] == dialog["buttons"][buttons["buttons"].index(buttons["default"])],
            "%s default: %s" % (what, dialog["default"]))
    else:
      check(dialog["buttons"] == buttons["buttons"], "%s buttons: %s" % (what, dialog["buttons"]))
      check(dialog["default"] == buttons["default"], "%s default: %s" % (what, dialog["default"]))
    check(dialog["icon"] == icon, "%s %s" % (what, "shows no icon" if icon else "shows an icon"))
    self.press(window, key)

  def picker(self, title, name, file_type, key, what):
    dialog, window = self.wait_for(title, what, name=name)
    check(dialog["type"] == file_type, "%s file type: %r" % (what, dialog["type"]))
    check(dialog["owner"] == "frmCD", "%s owner: %r" % (what, dialog["owner"]))
    check(not dialog["ownerVisible"] and not self.x_windows("frmCD"), "frmCD is shown")
    self.press(window, key)

  def until_source_picker(self, key):
    self.box(ASK_INSTALLED, YES_NO, "Return", "ask-installed")
    self.box(ASK_CONTINUE, YES_NO, "Return", "ask-continue")
    self.box(SELECT_SOURCE, OK, "Return", "select-source")
    self.picker(SOURCE_TITLE, "menu.qof", "QOF file", key, "source-dialog")

  def exit_status(self):
    try:
      self.program.wait(timeout=WAIT_SECONDS)
    except subprocess.TimeoutExpired:
      self.screenshot("still-running")
      raise Failure("shiftlet.exe did not end within %d s" % WAIT_SECONDS)
    output = self.program.stdout.read()
    check(not output.strip(), "shiftlet.exe wrote to the console: %r" % output)
    return self.program.returncode

  def expect_untouched(self):
    check(self.read(os.path.join(self.old_folder, "menu.qof")) == self.menu, "menu.qof changed")
    check(sorted(os.listdir(self.old_folder)) == ["menu.qof"],
          "C:\\Velmora holds %s" % os.listdir(self.old_folder))
    check(self.read(os.path.join(self.new_folder, "default.qcf")) == self.configuration,
          "default.qcf changed")
    check(sorted(os.listdir(self.new_folder)) == ["default.qcf"],
          "C:\\Program Files\\Velmora holds %s" % os.listdir(self.new_folder))


# -- the scenarios ----------------------------------------------------------------------------------

def accepting_every_default(s):
  s.lay_out()
  s.start()
  s.until_source_picker("Return")
  s.box(SELECT_DESTINATION, OK, "Return", "select-destination")
  s.picker(DESTINATION_TITLE, "migrated.menu.qnf", "QNF file", "Return", "destination-dialog")
  s.box(SUCCESS, OK, "Return", "success")
  check(s.exit_status() == 0, "exit status %s, not 0" % s.program.returncode)
  new_file = os.path.join(s.new_folder, "migrated.menu.qnf")
  check(s.read(new_file) == SAMPLE_CONVERTED, "migrated.menu.qnf: %r" % s.read(new_file))
  configuration = s.read(os.path.join(s.new_folder, "default.qcf"))
  check(configuration == b"migrated.menu.qnf\r\nclassic\r\nen-GB\r\n",
        "default.qcf: %r" % configuration)
  check(sorted(os.listdir(s.new_folder)) ==
        ["default.qcf", "default.qcf.before-shiftlet", "migrated.menu.qnf"],
        "left behind: %s" % os.listdir(s.new_folder))
  check(s.read(os.path.join(s.new_folder, "default.qcf.before-shiftlet")) == s.configuration,
        "default.qcf.before-shiftlet does not hold default.qcf as it was")
  check(s.read(os.path.join(s.old_folder, "menu.qof")) == s.menu, "menu.qof changed")


def replacing_a_menu_file_that_differs(s):
  # The destination was changed in Velmora 1.1 since: the program asks before replacing it, with
  # No first and a warning icon, as Windows' own "replace it?" boxes do. Enter keeps it; Yes then
  # replaces it.
  s.lay_out()
  new_file = os.path.join(s.new_folder, "migrated.menu.qnf")
  edited = b"70\r\nedited in Velmora 1.1\r\n"
  s.write(new_file, edited)
  question = ("C:\\Program Files\\Velmora\\migrated.menu.qnf already exists and differs from the "
              "converted menus. It may hold changes made in Velmora 1.1.\n\nReplace it?")
  for key, status in (("Return", 2), ("y", 0)):
    s.start()
    s.until_source_picker("Return")
    s.box(SELECT_DESTINATION, OK, "Return", "select-destination")
    s.picker(DESTINATION_TITLE, "migrated.menu.qnf", "QNF file", "Return", "destination-dialog")
    s.box(question, NO_FIRST, key, "replace-question", icon=True)
    if status == 0:
      s.box(SUCCESS, OK, "Return", "success")
    check(s.exit_status() == status, "exit status %s, not %d" % (s.program.returncode, status))
    if status == 2:
      check(s.read(new_file) == edited, "the edited file was replaced after No")
      check(sorted(os.listdir(s.new_folder)) == ["default.qcf", "migrated.menu.qnf"],
            "written after No: %s" % os.listdir(s.new_folder))
  check(s.read(new_file) == SAMPLE_CONVERTED, "migrated.menu.qnf: %r" % s.read(new_file))


def no_to_the_first_question(s):
  s.lay_out()
  s.start()
  s.box(ASK_INSTALLED, YES_NO, "n", "ask-installed")
  s.box(INSTALL_FIRST, OK, "Return", "install-first")
  check(s.exit_status() == 2, "exit status %s, not 2" % s.program.returncode)
  s.expect_untouched()


def no_to_the_second_question(s):
  s.lay_out()
  s.start()
  s.box(ASK_INSTALLED, YES_NO, "Return", "ask-installed")
  s.box(ASK_CONTINUE, YES_NO, "n", "ask-continue")
  check(s.exit_status() == 2, "exit status %s, not 2" % s.program.returncode)
  s.expect_untouched()


def menu_file_that_fails(s):
  s.lay_out(menu=BAD_MENU)
  s.start()
  s.until_source_picker("Return")
  s.box(SELECT_DESTINATION, OK, "Return", "select-destination")
  s.picker(DESTINATION_TITLE, "migrated.menu.qnf", "QNF file", "Return", "destination-dialog")
  s.box(FAILURE, OK, "Return", "failure")
  check(s.exit_status() == 1, "exit status %s, not 1" % s.program.returncode)
  s.expect_untouched()


def cancel_in_the_source_picker(s):
  s.lay_out()
  s.start()
  s.until_source_picker("Escape")
  s.box(FAILURE, OK, "Return", "failure")
  check(s.exit_status() == 1, "exit status %s, not 1" % s.program.returncode)
  s.expect_untouched()


def cancel_in_the_destination_picker(s):
  s.lay_out()
  s.start()
  s.until_source_picker("Return")
  s.box(SELECT_DESTINATION, OK, "Return", "select-destination")
  s.picker(DESTINATION_TITLE, "migrated.menu.qnf", "QNF file", "Escape", "destination-dialog")
  s.box(FAILURE, OK, "Return", "failure")
  check(s.exit_status() == 1, "exit status %s, not 1" % s.program.returncode)
  s.expect_untouched()


def as_seen(text):
  """`text` in code page 932 as window_reader shows it: each byte one Latin-1 character."""
  return text.encode("cp932").decode("latin-1")


def double_byte_names(s):
  # Code page 932, where the second byte of 表 is that of '\'. Wine takes the code page from the
  # locale of each program it starts, so the prefix prepared without one serves here too.
  s.env["LC_ALL"] = "ja_JP.UTF-8"
  s.lay_out(old_name="表.qof")
  s.start()
  s.box(ASK_INSTALLED, YES_NO, "Return", "ask-installed")
  s.box(ASK_CONTINUE, YES_NO, "Return", "ask-continue")
  s.box(SELECT_SOURCE, OK, "Return", "select-source")
  s.wait_for(SOURCE_TITLE, "source-dialog", name="menu.qof")
  subprocess.run([s.args.wine, s.args.reader, "type", SOURCE_TITLE, "表.qof".encode("cp932").hex()],
                 env=s.env, stdin=subprocess.DEVNULL, check=True, capture_output=True,
                 timeout=WAIT_SECONDS)
  s.picker(SOURCE_TITLE, as_seen("表.qof"), "QOF file", "Return", "source-typed")
  s.box(SELECT_DESTINATION, OK, "Return", "select-destination")
  s.picker(DESTINATION_TITLE, as_seen("migrated.表.qnf"), "QNF file", "Return",
           "destination-dialog")
  s.box(SUCCESS, OK, "Return", "success")
  check(s.exit_status() == 0, "exit status %s, not 0" % s.program.returncode)
  # Asked once the program is gone: a program starting beside it can stall in Wine.
  run = subprocess.run([s.args.wine, s.args.reader, "codepage"], env=s.env,
                       stdin=subprocess.DEVNULL, capture_output=True, timeout=WAIT_SECONDS)
  check(run.stdout.strip() == b"932", "code page %r, not 932" % run.stdout)
  new_file = os.path.join(s.new_folder, "migrated.表.qnf")
  check(os.path.exists(new_file), "no migrated.表.qnf; C:\\Program Files\\Velmora holds %s" %
        os.listdir(s.new_folder))
  check(s.read(new_file) == SAMPLE_CONVERTED, "migrated.表.qnf: %r" % s.read(new_file))
  configuration = s.read(os.path.join(s.new_folder, "default.qcf"))
  check(configuration == "migrated.表.qnf".encode("cp932") + b"\r\nclassic\r\nen-GB\r\n",
        "default.qcf: %r" % configuration)
  check(sorted(os.listdir(s.new_folder)) ==
        ["default.qcf", "default.qcf.before-shiftlet", "migrated.表.qnf"],
        "left behind: %s" % os.listdir(s.new_folder))
  check(sorted(os.listdir(s.old_folder)) == ["表.qof"], "C:\\Velmora holds %s" %
        os.listdir(s.old_folder))


def program_identity(s):
  # A GUI program (no console) for the build's processor, needing no DLL that a bare Windows
  # lacks, that states the oldest Windows it runs on and no link time.
  architecture = ARCHITECTURES[s.args.arch]
  with open(s.args.exe, "rb") as f:
    image = f.read()
  header = struct.unpack_from("<I", image, 0x3C)[0]
  check(image[header:header + 4] == b"PE\0\0", "not a PE file")
  machine = struct.unpack_from("<H", image, header + 4)[0]
  check(machine == architecture["machine"], "machine %#x, not %s" % (machine, s.args.arch))
  magic = struct.unpack_from("<H", image, header + 24)[0]
  check(magic == architecture["magic"], "optional header magic %#x" % magic)
  check(struct.unpack_from("<H", image, header + 24 + 68)[0] == 2, "not a GUI program")
  stamp = struct.unpack_from("<I", image, header + 8)[0]
  check(stamp == 0, "linked with a time stamp (%d), so no two builds are alike" % stamp)
  versions = pe_versions(s.args.objdump, s.args.exe)
  for kind in ("OSystem", "Subsystem"):
    stated = (versions["Major%sVersion" % kind], versions["Minor%sVersion" % kind])
    check(stated == OLDEST_WINDOWS, "%s version %d.%d, not %d.%d" % ((kind,) + stated +
                                                                     OLDEST_WINDOWS))
  dump = subprocess.run([s.args.objdump, "-p", s.args.exe], capture_output=True, text=True,
                        check=True).stdout
  dlls = sorted({line.split(":", 1)[1].strip().lower()
                 for line in dump.splitlines() if "DLL Name:" in line})
  system = {"kernel32.dll", "user32.dll", "comdlg32.dll", "msvcrt.dll", "gdi32.dll",
            "advapi32.dll", "shell32.dll"}
  check(set(dlls) <= system, "needs DLLs beside the system's: %s" % dlls)

  s.lay_out()
  run = subprocess.run([s.args.wine, s.args.reader, "identity", s.args.exe], env=s.env,
                       stdin=subprocess.DEVNULL, capture_output=True, timeout=WAIT_SECONDS)
  check(run.returncode == 0, "no identity: %r" % run.stderr)
  identity = json.loads(run.stdout.decode("latin-1"))
  check(identity["ProductName"] == "Shiftlet", identity["ProductName"])
  check(identity["FileVersion"] == "0.02", identity["FileVersion"])
  check(identity["ProductVersion"] == "0.02", identity["ProductVersion"])
  check(identity["FileDescription"] == "Converts old QOF file from Velmora 1.0a to new QNF file "
        "compatible with Velmora 1.1", identity["FileDescription"])
  check(identity["fileType"] == 1, "not VFT_APP")
  manifest = identity["manifest"]
  # It updates Velmora in Program Files, so Windows asks for elevation once, at start.
  for needed in ('name="Microsoft.Windows.Common-Controls" version="6.0.0.0"',
                 'level="requireAdministrator"', "<dpiAware", "<dpiAwareness"):
    check(needed in manifest, "the manifest lacks " + needed)
  # Asked once, at start: anything less and Windows would refuse the writes in Program Files.
  check('level="asInvoker"' not in manifest and 'level="highestAvailable"' not in manifest,
        "the manifest asks for less than an administrator")
  check("<activeCodePage" not in manifest, "the manifest switches the code page")
  identity_line = manifest[:manifest.index("<description")]
  check('processorArchitecture="%s"' % architecture["manifest"] in identity_line,
        "the manifest's assemblyIdentity is for another processor: " + identity_line)

  # The console program beside it: a console subsystem program that asks for no elevation.
  with open(s.args.cli, "rb") as f:
    image = f.read()
  header = struct.unpack_from("<I", image, 0x3C)[0]
  check(struct.unpack_from("<H", image, header + 24 + 68)[0] == 3, "the cli is not a console program")
  run = subprocess.run([s.args.wine, s.args.reader, "identity", s.args.cli], env=s.env,
                       stdin=subprocess.DEVNULL, capture_output=True, timeout=WAIT_SECONDS)
  check(run.returncode == 0, "no identity of the cli: %r" % run.stderr)
  cli = json.loads(run.stdout.decode("latin-1"))
  check(cli["FileVersion"] == "0.02", cli["FileVersion"])
  check('level="asInvoker"' in cli["manifest"], "the cli asks for elevation")


def cmd(s, line):
  """Runs `line` in Wine's cmd, as a script would; returns (status, stdout, stderr)."""
  run = subprocess.run([s.args.wine, "cmd", "/c", line], cwd=s.work, env=s.env,
                       stdin=subprocess.DEVNULL, capture_output=True, timeout=WAIT_SECONDS)
  return run.returncode, run.stdout.decode("latin-1"), run.stderr.decode("latin-1")


def console_program_for_scripts(s):
  s.lay_out()
  s.write(os.path.join(s.old_folder, "bad.qof"), BAD_MENU)
  cli = "Z:" + s.args.cli.replace("/", "\\")
  status, out, err = cmd(s, cli + " --check --source C:\\Velmora\\menu.qof")
  check(status == 0, "check status %s: %r %r" % (status, out, err))
  check(out.startswith("C:\\Velmora\\menu.qof: 13 items in 4 menus\r\n"), "check said %r" % out)
  check("\r\n  item 1: File\r\n    item 4: Open...\r\n" in out, "no menu tree: %r" % out)

  status, out, err = cmd(s, cli + " /check /source C:\\Velmora\\bad.qof")
  check(status == 1, "check of a bad file: status %s" % status)
  check('error: C:\\Velmora\\bad.qof line 2, item 1, field 4 (Value): menu number "ab" is not a '
        "number" in out, "check of a bad file said %r" % out)

  # What a file holds is shown, never obeyed: its escapes reach the console as \xNN.
  for name, extra, status_wanted, shown in (
      ("escapes.qof", b"0", 0, "  item 1: \\x1B]0;PWNED\\x07\\x1B[2J\\x1B[31m red\r\n"),
      ("escapes-bad.qof", b"\x1b[5m", 1, 'field 5 (Extra): "\\x1B[5m" is not a number\r\n')):
    s.write(os.path.join(s.old_folder, name), ESCAPING_MENU % extra)
    status, out, err = cmd(s, cli + " --check --source C:\\Velmora\\" + name)
    check(status == status_wanted and shown in out, "check of %s: %s %r" % (name, status, out))
    check("\x1b" not in out + err and "\x07" not in out + err, "raw escape: %r %r" % (out, err))

  # With no argument it is the terminal dialogue; the end of the input answers No.
  status, out, err = cmd(s, cli)
  check(status == 2 and out.startswith("\r\n[Shiftlet]\r\n" + ASK_INSTALLED + "\r\n"),
        "dialogue: %s %r" % (status, out))

  status, out, err = cmd(s, cli + " --bogus")
  check(status == 64 and "usage: shiftlet-cli" in err, "bad option: %s %r" % (status, err))

  status, out, err = cmd(s, cli + " /quiet /source C:\\Velmora\\bad.qof")
  check(status == 1 and err.startswith("error: C:\\Velmora\\bad.qof line 2, item 1"),
        "failing quiet run: %s %r" % (status, err))
  check(sorted(os.listdir(s.new_folder)) == ["default.qcf"], "a failing run left %s" %
        os.listdir(s.new_folder))

  # A device name is refused by name, before anything is opened, with the reason in the error line.
  for option, verb, name in (("--destination", "write", "NUL"), ("--source", "open", "CON"),
                             ("--destination", "write", "C:\\Velmora\\lpt1.tmp.qnf")):
    status, out, err = cmd(s, cli + " --quiet " + option + " " + name)
    check(status == 1 and err == "error: cannot %s %s: it is a device name reserved by Windows\r\n"
          % (verb, name), "quiet run with %s %s: %s %r %r" % (option, name, status, out, err))
  check(sorted(os.listdir(s.new_folder)) == ["default.qcf"], "a refused device left %s" %
        os.listdir(s.new_folder))
  check(sorted(os.listdir(s.old_folder)) == ["bad.qof", "escapes-bad.qof", "escapes.qof",
                                              "menu.qof"], "a refused device left %s" %
        os.listdir(s.old_folder))

  # A folder is refused as a folder, by the check and the run alike, never as "access denied".
  line = "error: cannot write C:\\Velmora: it is a folder, not a regular file\r\n"
  status, out, err = cmd(s, cli + " --quiet --destination C:\\Velmora")
  check(status == 1 and err == line, "quiet run to a folder: %s %r %r" % (status, out, err))
  status, out, err = cmd(s, cli + " --check --destination C:\\Velmora")
  check(status == 1 and "\r\n" + line in out, "check of a folder: %s %r" % (status, out))

  # %ERRORLEVEL% as a .cmd script reads it, after a quiet run with the proposals.
  status, out, err = cmd(s, cli + " /quiet & echo status=%ERRORLEVEL%")
  check(out == "converted C:\\Velmora\\menu.qof to C:\\Program Files\\Velmora\\migrated.menu.qnf: "
        "13 items; default.qcf updated\r\nstatus=0\r\n", "quiet run said %r %r" % (out, err))
  check(s.read(os.path.join(s.new_folder, "migrated.menu.qnf")) == SAMPLE_CONVERTED,
        "migrated.menu.qnf differs")
  check(s.read(os.path.join(s.new_folder, "default.qcf")) ==
        b"migrated.menu.qnf\r\nclassic\r\nen-GB\r\n", "default.qcf not updated")
  converted = ["default.qcf", "default.qcf.before-shiftlet", "migrated.menu.qnf"]
  check(sorted(os.listdir(s.new_folder)) == converted, "left behind: %s" % os.listdir(s.new_folder))

  # The install and uninstall commands of a deployment, run again and again: a PC converted is
  # left as it is, /undo takes the conversion back, and a second /undo finds nothing to undo.
  log = " /log C:\\runs.log"
  status, out, err = cmd(s, cli + " /quiet" + log)
  check(status == 0 and out == "already converted: C:\\Program Files\\Velmora\\migrated.menu.qnf "
        "holds the conversion of C:\\Velmora\\menu.qof and default.qcf names it; nothing was "
        "changed\r\n", "second quiet run: %s %r %r" % (status, out, err))
  status, out, err = cmd(s, cli + " /check /undo")
  check(status == 0 and out.startswith("it would undo: "), "check of an undo: %s %r" % (status, out))
  status, out, err = cmd(s, cli + " /undo" + log)
  check(status == 0 and out.startswith("undone: "), "undo: %s %r %r" % (status, out, err))
  check(sorted(os.listdir(s.new_folder)) == ["default.qcf"] and
        s.read(os.path.join(s.new_folder, "default.qcf")) == s.configuration,
        "after the undo: %s" % os.listdir(s.new_folder))
  status, out, err = cmd(s, cli + " /undo" + log)
  check(status == 0 and out.startswith("nothing to undo: "), "undo again: %s %r" % (status, out))
  results = [line.split("\t")[3] for line in s.read(s.c_path("runs.log")).decode().splitlines()]
  check(results == ["unchanged", "undone", "unchanged"], "log results: %s" % results)
  status, out, err = cmd(s, cli + " /quiet")
  check(status == 0 and sorted(os.listdir(s.new_folder)) == converted,
        "converted again: %s %r" % (status, os.listdir(s.new_folder)))

  # The new menu file typed in another case is the file default.qcf names: nothing changes.
  # From its folder: cmd keeps no quotes that Python's command line would escape.
  in_folder = "cd /d C:\\Program Files\\Velmora && " + cli
  written = s.read(os.path.join(s.new_folder, "default.qcf"))
  status, out, err = cmd(s, in_folder + " --quiet --destination MIGRATED.MENU.QNF")
  check(status == 0 and out.startswith("already converted: "),
        "quiet run to MIGRATED.MENU.QNF: %s %r %r" % (status, out, err))
  check(s.read(os.path.join(s.new_folder, "default.qcf")) == written and
        sorted(os.listdir(s.new_folder)) == converted,
        "the run to MIGRATED.MENU.QNF changed %s" % os.listdir(s.new_folder))

  # DEFAULT.QCF is default.qcf, never the new menu file: refused by the check and the run alike,
  # even with --replace, before anything is written.
  destination = " --replace --destination DEFAULT.QCF"
  refused = "the new menu file cannot be C:\\Program Files\\Velmora\\DEFAULT.QCF: it is default.qcf"
  status, out, err = cmd(s, in_folder + " --check" + destination)
  check(status == 1 and refused in out, "check over DEFAULT.QCF: %s %r %r" % (status, out, err))
  status, out, err = cmd(s, in_folder + " --quiet" + destination)
  check(status == 1 and refused in err, "quiet run over DEFAULT.QCF: %s %r %r" % (status, out, err))
  check(s.read(os.path.join(s.new_folder, "default.qcf")) == written and
        sorted(os.listdir(s.new_folder)) == converted,
        "the runs over DEFAULT.QCF changed %s" % os.listdir(s.new_folder))


def wildcard_named_in_default_qcf(s):
  # FindFirstFile reads < > " as wildcards: "migrated.menu.qn>" in default.qcf would list
  # migrated.menu.qnf. It names another file, for the check, the undo and the quiet run alike.
  s.lay_out()
  cli = "Z:" + s.args.cli.replace("/", "\\")
  status, out, err = cmd(s, cli + " /quiet")
  check(status == 0, "first conversion: %s %r %r" % (status, out, err))
  configuration = os.path.join(s.new_folder, "default.qcf")
  other = b"migrated.menu.qn>\r\nclassic\r\nen-GB\r\n"
  s.write(configuration, other)
  folder = "C:\\Program Files\\Velmora\\"
  status, out, err = cmd(s, cli + " /check")
  check(status == 0 and ("\r\nIt would update %sdefault.qcf: its first line \"migrated.menu.qn>\" "
                         "becomes \"migrated.menu.qnf\".\r\n" % folder) in out,
        "check: %s %r %r" % (status, out, err))
  names_other = ("%sdefault.qcf names \"migrated.menu.qn>\", not the new menu file, so it %s left "
                 "alone; %smigrated.menu.qnf %sremoved: it held the conversion of "
                 "C:\\Velmora\\menu.qof\r\n")
  status, out, err = cmd(s, cli + " /check /undo")
  check(status == 0 and out == "it would undo: " + names_other % (folder, "would be", folder,
                                                                  "would be "),
        "check of the undo: %s %r %r" % (status, out, err))
  status, out, err = cmd(s, cli + " /undo")
  check(status == 0 and out == "undone: " + names_other % (folder, "was", folder, ""),
        "undo: %s %r %r" % (status, out, err))
  check(s.read(configuration) == other, "the undo changed default.qcf: %r" % s.read(configuration))
  check(sorted(os.listdir(s.new_folder)) == ["default.qcf", "default.qcf.before-shiftlet"],
        "after the undo: %s" % os.listdir(s.new_folder))
  status, out, err = cmd(s, cli + " /quiet")
  check(status == 0 and out == "converted C:\\Velmora\\menu.qof to %smigrated.menu.qnf: 13 items; "
        "default.qcf updated\r\n" % folder, "quiet run: %s %r %r" % (status, out, err))
  check(s.read(configuration) == b"migrated.menu.qnf\r\nclassic\r\nen-GB\r\n",
        "default.qcf not updated: %r" % s.read(configuration))
  check(s.read(configuration + ".before-shiftlet") == s.configuration,
        "default.qcf.before-shiftlet no longer holds default.qcf from before the first conversion")


def console_program_on_windows_rules(s):
  # shiftlet-cli.exe proposes and makes paths full as Windows does, never through the current
  # folder: from System32 with no Velmora 1.1 it refuses and writes nothing there; a drive-relative
  # destination is the file in that drive's current folder, and so is the default.qcf updated.
  s.lay_out()
  cli = "Z:" + s.args.cli.replace("/", "\\")
  shutil.rmtree(s.new_folder)
  system32 = s.c_path("windows", ARCHITECTURES[s.args.arch]["dlls"])
  before = sorted(os.listdir(system32))
  status, out, err = cmd(s, "cd /d C:\\windows\\system32 && " + cli + " --quiet")
  check(status == 1 and err == "error: the folder C:\\Program Files\\Velmora does not exist; "
        "Velmora 1.1 may not be installed\r\n", "no Velmora 1.1: %s %r %r" % (status, out, err))
  check(sorted(os.listdir(system32)) == before, "a run from System32 wrote there")
  status, out, err = cmd(s, cli + " --check")
  check(status == 1 and "error: the folder C:\\Program Files\\Velmora does not exist" in out,
        "check with no Velmora 1.1: %s %r" % (status, out))

  work = s.c_path("work")
  os.makedirs(work)
  s.write(os.path.join(work, "default.qcf"), s.configuration)
  s.write(s.c_path("default.qcf"), b"root\r\nclassic\r\nen-GB\r\n")
  status, out, err = cmd(s, "cd /d C:\\work && Z: && " + cli + " --quiet --destination C:new.qnf")
  check(status == 0 and out.startswith("converted C:\\Velmora\\menu.qof to C:\\work\\new.qnf: "),
        "drive-relative destination: %s %r %r" % (status, out, err))
  check(s.read(os.path.join(work, "new.qnf")) == SAMPLE_CONVERTED, "C:\\work\\new.qnf differs")
  check(s.read(os.path.join(work, "default.qcf")) == b"new.qnf\r\nclassic\r\nen-GB\r\n",
        "C:\\work\\default.qcf not updated")
  check(s.read(s.c_path("default.qcf")) == b"root\r\nclassic\r\nen-GB\r\n",
        "C:\\default.qcf was updated instead")

  # Code page 932: the default name is cut by characters, and its bytes are the system's own.
  # Wine reads the command line as UTF-8 under this locale and gives the program its cp932 bytes.
  s.env["LC_ALL"] = "ja_JP.UTF-8"
  os.makedirs(s.new_folder)
  s.write(os.path.join(s.new_folder, "default.qcf"), s.configuration)
  s.write(os.path.join(s.old_folder, "表.qof"), s.menu)
  name = "migrated.表.qnf"
  status, out, err = cmd(s, cli + " --quiet --source C:\\Velmora\\表.qof")
  check(status == 0, "code page 932: %s %r %r" % (status, out, err))
  check(sorted(os.listdir(s.new_folder)) == ["default.qcf", "default.qcf.before-shiftlet", name],
        "code page 932: C:\\Program Files\\Velmora holds %s" % os.listdir(s.new_folder))
  check(s.read(os.path.join(s.new_folder, "default.qcf")) ==
        name.encode("cp932") + b"\r\nclassic\r\nen-GB\r\n", "code page 932: default.qcf")


def dropped_file(s):
  # A file dropped on the program: the first picker opens in its folder with its name.
  s.lay_out()
  elsewhere = s.c_path("Elsewhere")
  os.makedirs(elsewhere)
  s.write(os.path.join(elsewhere, "club.qof"), s.menu)
  s.start("C:\\Elsewhere\\club.qof")
  s.box(ASK_INSTALLED, YES_NO, "Return", "ask-installed")
  s.box(ASK_CONTINUE, YES_NO, "Return", "ask-continue")
  s.box(SELECT_SOURCE, OK, "Return", "select-source")
  s.picker(SOURCE_TITLE, "club.qof", "QOF file", "Return", "source-dialog")
  s.box(SELECT_DESTINATION, OK, "Return", "select-destination")
  s.picker(DESTINATION_TITLE, "migrated.club.qnf", "QNF file", "Return", "destination-dialog")
  s.box(SUCCESS, OK, "Return", "success")
  check(s.exit_status() == 0, "exit status %s, not 0" % s.program.returncode)
  check(s.read(os.path.join(s.new_folder, "migrated.club.qnf")) == SAMPLE_CONVERTED,
        "migrated.club.qnf differs")
  check(s.read(os.path.join(s.new_folder, "default.qcf")) ==
        b"migrated.club.qnf\r\nclassic\r\nen-GB\r\n", "default.qcf not updated")


def usage_in_a_box(s):
  # No console to print on: a bad command line is one error box, and status 64 once it is closed.
  s.lay_out()
  s.start("--bogus")
  dialog, window = s.wait_for("Shiftlet", "usage")
  check(dialog["icon"], "the usage box shows no icon")
  check(dialog["text"].startswith("shiftlet: ") and "usage: shiftlet [PATH]" in dialog["text"],
        dialog["text"])
  s.press(window, "Return")
  check(s.exit_status() == 64, "exit status %s, not 64" % s.program.returncode)
  s.expect_untouched()


def quiet_run_of_the_windows_program(s):
  s.lay_out()
  s.start("/quiet", "/log", "C:\\runs.log")
  check(s.exit_status() == 0, "exit status %s, not 0" % s.program.returncode)
  check(s.read(os.path.join(s.new_folder, "migrated.menu.qnf")) == SAMPLE_CONVERTED,
        "migrated.menu.qnf differs")
  log = s.read(s.c_path("runs.log")).decode("latin-1")
  fields = log.rstrip("\r\n").split("\t")
  check(log.endswith("\r\n") and log.count("\n") == 1, "log: %r" % log)
  check(fields[1:] == ["C:\\Velmora\\menu.qof", "C:\\Program Files\\Velmora\\migrated.menu.qnf",
                       "converted", "13 items; default.qcf updated"], "log: %r" % log)


def help_in_a_box(s):
  s.lay_out()
  s.start("/?")
  dialog, window = s.wait_for("Shiftlet", "help")
  check(dialog["text"].startswith(
      "usage: shiftlet [PATH]\n       shiftlet --quiet [--replace] [--source PATH]"),
        dialog["text"])
  check("64 a bad command line" in dialog["text"], dialog["text"])
  s.press(window, "Return")
  check(s.exit_status() == 0, "exit status %s, not 0" % s.program.returncode)
  s.expect_untouched()


def check_summary_in_a_box(s):
  s.lay_out(menu=BAD_MENU)
  s.start("--check")
  dialog, window = s.wait_for("Shiftlet", "check-summary")
  text = dialog["text"]
  check(text.startswith("C:\\Velmora\\menu.qof does not convert.\n1 item in 1 menu.\n"), text)
  check('menu number "ab" is not a number' in text, text)
  check(text.endswith('shiftlet-cli --check --source "C:\\Velmora\\menu.qof"'), text)
  check(dialog["icon"], "a verdict without its icon")
  s.press(window, "Return")
  check(s.exit_status() == 1, "exit status %s, not 1" % s.program.returncode)
  s.expect_untouched()


def waiting_for_a_file_in_use(s):
  # Velmora holds default.qcf a moment, sharing nothing and then all but its removal: the quiet run
  # waits for it, then converts, as if nothing had held it.
  s.lay_out()
  release = s.c_path("release")
  for sharing in ("none", "rw"):
    s.hold(CONFIGURATION, sharing, "C:\\release")
    run = s.cli_in_background("--quiet", "--log", "C:\\runs.log")
    s.until_menu_written(run)
    time.sleep(1)
    if run.poll() is not None:
      raise Failure("sharing %s: the run did not wait for default.qcf: %r" %
                    (sharing, run.communicate()))
    s.release(release)
    status, out, err = s.cli_status(run)
    check(status == 0 and out.startswith("converted C:\\Velmora\\menu.qof to "),
          "sharing %s: %s %r %r" % (sharing, status, out, err))
    check(s.read(os.path.join(s.new_folder, "default.qcf")) ==
          b"migrated.menu.qnf\r\nclassic\r\nen-GB\r\n", "sharing %s: default.qcf" % sharing)
    check(sorted(os.listdir(s.new_folder)) ==
          ["default.qcf", "default.qcf.before-shiftlet", NEW_MENU_NAME],
          "sharing %s: left %s" % (sharing, os.listdir(s.new_folder)))
    # As it was, for the next hold.
    os.unlink(release)
    for name in ("default.qcf.before-shiftlet", NEW_MENU_NAME):
      os.unlink(os.path.join(s.new_folder, name))
    s.write(os.path.join(s.new_folder, "default.qcf"), s.configuration)
  results = [line.split("\t")[3] for line in s.read(s.c_path("runs.log")).decode().splitlines()]
  check(results == ["converted", "converted"], "log results: %s" % results)


def file_in_use_past_the_wait(s):
  # Held past --wait 2: 1618 for the deployment system to try again later, nothing lost, and the
  # next run finishes the job.
  s.lay_out()
  s.hold(CONFIGURATION, "none", "C:\\release")
  run = s.cli_in_background("--quiet", "--wait", "2", "--log", "C:\\runs.log")
  met = s.until_menu_written(run)
  status, out, err = s.cli_status(run)
  waited = time.monotonic() - met
  check(status == 1618, "status %s, not 1618: %r %r" % (status, out, err))
  # The menu file is seen written a little after it was, by polling; the wait begins at once after.
  check(1.5 <= waited <= 4, "ended %.2f s after the menu file was written, not about 2" % waited)
  check(err.startswith("error: ") and CONFIGURATION + " is in use by another program" in err,
        "error line: %r" % err)
  check(s.read(os.path.join(s.new_folder, NEW_MENU_NAME)) == SAMPLE_CONVERTED, "menu file")
  check(s.read(os.path.join(s.new_folder, "default.qcf")) == s.configuration, "default.qcf changed")
  check(sorted(os.listdir(s.new_folder)) == ["default.qcf", NEW_MENU_NAME],
        "left %s" % os.listdir(s.new_folder))
  fields = s.read(s.c_path("runs.log")).decode("latin-1").rstrip("\r\n").split("\t")
  check(fields[3] == "failed" and "in use" in fields[4], "log: %r" % fields)
  s.release(s.c_path("release"))
  status, out, err = s.cli_status(s.cli_in_background("--quiet"))
  check(status == 0, "the next run: %s %r %r" % (status, out, err))
  check(s.read(os.path.join(s.new_folder, "default.qcf")) ==
        b"migrated.menu.qnf\r\nclassic\r\nen-GB\r\n", "the next run left default.qcf as it was")


def retry_or_cancel_a_file_in_use(s):
  # The dialogue asks, with a warning icon: Cancel ends it as a No does (2, no failure box, the
  # menu file kept); Retry once Velmora lets go converts.
  s.lay_out()
  s.start_display()  # before any Wine program, or the session's desktop has none
  s.hold(CONFIGURATION, "none", "C:\\release")
  for key, status in (("Escape", 2), ("Return", 0)):
    s.start()
    s.until_source_picker("Return")
    s.box(SELECT_DESTINATION, OK, "Return", "select-destination")
    s.picker(DESTINATION_TITLE, NEW_MENU_NAME, "QNF file", "Return", "destination-dialog")
    dialog, window = s.wait_for("Shiftlet", "retry-box")
    check(dialog["text"].startswith(CONFIGURATION + " is in use by another program"),
          "retry box: %r" % dialog["text"])
    check(dialog["buttons"] == RETRY_CANCEL["buttons"] and
          dialog["default"] == RETRY_CANCEL["default"], "retry box buttons: %s" % dialog)
    check(dialog["icon"], "the retry box shows no icon")
    if status == 0:
      s.release(s.c_path("release"))
    s.press(window, key)
    if status == 0:
      s.box(SUCCESS, OK, "Return", "success")
    check(s.exit_status() == status, "exit status %s, not %d" % (s.program.returncode, status))
    check(s.read(os.path.join(s.new_folder, NEW_MENU_NAME)) == SAMPLE_CONVERTED, "menu file")
    if status == 2:
      check(s.read(os.path.join(s.new_folder, "default.qcf")) == s.configuration,
            "default.qcf changed after Cancel")
  check(s.read(os.path.join(s.new_folder, "default.qcf")) ==
        b"migrated.menu.qnf\r\nclassic\r\nen-GB\r\n", "default.qcf after Retry")


def check_of_a_file_in_use(s):
  # The check says who holds default.qcf now and what a run would do, and its verdict stays.
  s.lay_out()
  s.hold(CONFIGURATION, "rw", "C:\\release")
  started = time.monotonic()
  status, out, err = cmd(s, "Z:" + s.args.cli.replace("/", "\\") + " --check")
  check(status == 0, "check status %s: %r %r" % (status, out, err))
  check("warning: " + CONFIGURATION + " is in use by another program now; a run would wait up "
        "to 30 s for it, then end with 1618" in out, "check said %r" % out)
  check(time.monotonic() - started < 20, "the check waited for the file")
  s.release(s.c_path("release"))
  s.expect_untouched()


SCENARIOS = {f.__name__: f for f in (
    accepting_every_default, no_to_the_first_question, no_to_the_second_question,
    menu_file_that_fails, cancel_in_the_source_picker, cancel_in_the_destination_picker,
    double_byte_names, program_identity, console_program_for_scripts,
    quiet_run_of_the_windows_program, help_in_a_box, check_summary_in_a_box,
    console_program_on_windows_rules, dropped_file, usage_in_a_box,
    replacing_a_menu_file_that_differs, wildcard_named_in_default_qcf, waiting_for_a_file_in_use,
    file_in_use_past_the_wait, retry_or_cancel_a_file_in_use, check_of_a_file_in_use)}


def prepare(args):
  """Makes the prefix each scenario copies, once per build folder."""
  stamp = os.path.join(args.template, ".shiftlet-ready")
  # A prefix made before wine32 was installed cannot run 32-bit programs: it is made afresh.
  kernel32 = os.path.join(args.template, "drive_c", "windows", ARCHITECTURES[args.arch]["dlls"],
                          "kernel32.dll")
  if os.path.exists(stamp) and os.path.exists(kernel32):
    return 0
  shutil.rmtree(args.template, ignore_errors=True)
  os.makedirs(os.path.dirname(args.template), exist_ok=True)
  env = dict(os.environ, WINEPREFIX=args.template, WINEDEBUG="-all",
             WINEDLLOVERRIDES="mscoree,mshtml=")
  env.pop("DISPLAY", None)
  # The build's own loader: Debian's wineboot takes the 32-bit one whenever wine32 is installed.
  subprocess.run([args.wine, "wineboot", "--init"], env=env, stdin=subprocess.DEVNULL, check=True,
                 timeout=600)
  subprocess.run(["wineserver", "-w"], env=env, stdin=subprocess.DEVNULL, check=True,
                 timeout=600)
  check(os.path.exists(kernel32), "Wine made no %s: for 32-bit programs install wine32:i386" %
        kernel32)
  open(stamp, "w").close()
  return 0


def main():
  parser = argparse.ArgumentParser()
  parser.add_argument("--wine", required=True)
  parser.add_argument("--exe", required=True)
  parser.add_argument("--cli", required=True)
  parser.add_argument("--reader", required=True)
  parser.add_argument("--holder", required=True)
  parser.add_argument("--objdump", required=True)
  parser.add_argument("--examples", required=True)
  parser.add_argument("--template", required=True)
  parser.add_argument("--artifacts", required=True)
  parser.add_argument("--arch", choices=sorted(ARCHITECTURES), default="x64")
  parser.add_argument("--windows-version", help="a winecfg -v name, e.g. vista")
  parser.add_argument("scenario", choices=["prepare"] + sorted(SCENARIOS))
  args = parser.parse_args()
  if args.scenario == "prepare":
    try:
      return prepare(args)
    except Failure as failure:
      print("FAILED prepare: %s" % failure)
      return 1

  name = args.scenario
  if args.windows_version:
    name += "-on-" + args.windows_version
  session = Session(args, name)
  passed = False
  started = time.monotonic()
  try:
    SCENARIOS[args.scenario](session)
    passed = True
  except Failure as failure:
    print("FAILED %s: %s" % (name, failure))
  finally:
    session.stop(passed)
  print("%s %s in %.1f s; screenshots in %s" % ("passed" if passed else "FAILED", name,
                                               time.monotonic() - started, session.artifacts))
  return 0 if passed else 1


if __name__ == "__main__":
  sys.exit(main())
