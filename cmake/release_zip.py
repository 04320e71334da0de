#!/usr/bin/env python3
"""Makes the release zip the same bytes on every machine that builds the same commit.

Programs are stripped into a folder named after the zip, the other files copied beside them; the
zip holds that folder's files (no top folder) with one fixed time, fixed permissions and a fixed
order. SHA256SUMS, beside the zip, lists the zip and each program in sha256sum's format, so
`sha256sum -c SHA256SUMS` there checks them and administrators can allow the programs by hash.

  release_zip.py --zip OUT.zip --strip STRIP --source-dir DIR
                 [--program EXE]... [--file FILE]...

The time is SOURCE_DATE_EPOCH when set, else the last commit's, else 1980-01-01.

Signing is read from the environment when the zip is made, so a release machine signs with no
change to the build folder: SHIFTLET_SIGN_PKCS12 names the .pfx/.p12 holding the certificate and
its key, SHIFTLET_SIGN_PASSWORD_FILE a file holding its password (none without it), and
SHIFTLET_SIGN_TIMESTAMP_URL an RFC 3161 time-stamping service, whose time stamp keeps the signature
valid after the certificate expires. Each stripped program is signed with osslsigncode (SHA-256)
before it is hashed and zipped. A signature holds the time of signing, so a signed zip is never the
same bytes twice; without SHIFTLET_SIGN_PKCS12 nothing is signed and the zip is reproducible.
"""

import argparse
import hashlib
import os
import shutil
import subprocess
import sys
import time
import zipfile

DOS_EPOCH = 315532800  # 1980-01-01 00:00:00 UTC, the earliest time a zip entry can hold


def release_time(source_dir):
  if os.environ.get("SOURCE_DATE_EPOCH"):
    seconds = int(os.environ["SOURCE_DATE_EPOCH"])
  else:
    try:
      seconds = int(subprocess.run(["git", "-C", source_dir, "log", "-1", "--format=%ct"],
                                   capture_output=True, text=True, check=True).stdout)
    except (OSError, subprocess.CalledProcessError, ValueError):
      seconds = DOS_EPOCH  # not a git checkout: still one fixed time
  return time.gmtime(max(seconds, DOS_EPOCH))[:6]


def signing_settings():
  """The certificate, password file and time-stamping URL to sign with, or None to sign nothing."""
  pkcs12 = os.environ.get("SHIFTLET_SIGN_PKCS12")
  if not pkcs12:
    return None
  settings = (pkcs12, os.environ.get("SHIFTLET_SIGN_PASSWORD_FILE"),
              os.environ.get("SHIFTLET_SIGN_TIMESTAMP_URL"))
  for variable, path in zip(("SHIFTLET_SIGN_PKCS12", "SHIFTLET_SIGN_PASSWORD_FILE"), settings):
    if path and not os.path.isfile(path):
      sys.exit("release_zip.py: %s names %s, which is not a file" % (variable, path))
  if shutil.which("osslsigncode") is None:
    sys.exit("release_zip.py: SHIFTLET_SIGN_PKCS12 is set, and osslsigncode is not installed "
             "(tools/install-deps.sh windows installs it)")
  return settings


def sign(path, settings):
  """Signs the program at `path` in place with Authenticode, SHA-256."""
  pkcs12, password_file, timestamp_url = settings
  command = ["osslsigncode", "sign", "-pkcs12", pkcs12, "-h", "sha256", "-n", "Shiftlet"]
  if password_file:
    command += ["-readpass", password_file]
  if timestamp_url:
    command += ["-ts", timestamp_url]
  signed = path + ".signed"
  subprocess.run(command + ["-in", path, "-out", signed], check=True, stdout=subprocess.DEVNULL)
  os.replace(signed, path)


def sha256(path):
  with open(path, "rb") as f:
    return hashlib.sha256(f.read()).hexdigest()


def main():
  parser = argparse.ArgumentParser()
  parser.add_argument("--zip", required=True)
  parser.add_argument("--strip", required=True)
  parser.add_argument("--source-dir", required=True)
  parser.add_argument("--program", action="append", default=[])
  parser.add_argument("--file", action="append", default=[])
  args = parser.parse_args()

  out_dir = os.path.dirname(os.path.abspath(args.zip))
  name = os.path.splitext(os.path.basename(args.zip))[0]
  folder = os.path.join(out_dir, name)
  shutil.rmtree(folder, ignore_errors=True)
  os.makedirs(folder)
  signing = signing_settings()
  staged = []
  for program in args.program:
    path = os.path.join(folder, os.path.basename(program))
    # binutils stamps the PE header it writes with the time now, or SOURCE_DATE_EPOCH: keep the
    # linker's zero.
    subprocess.run([args.strip, "--strip-all", "-o", path, program], check=True,
                   env=dict(os.environ, SOURCE_DATE_EPOCH="0"))
    if signing:
      sign(path, signing)
    staged.append(path)
  for extra in args.file:
    path = os.path.join(folder, os.path.basename(extra))
    shutil.copyfile(extra, path)
    staged.append(path)

  date_time = release_time(args.source_dir)
  partial = args.zip + ".part"
  with zipfile.ZipFile(partial, "w") as archive:
    for path in staged:
      entry = zipfile.ZipInfo(os.path.basename(path), date_time)
      entry.create_system = 0  # MS-DOS: no Unix owner or mode from this machine
      entry.external_attr = 0x20  # the archive attribute, as Windows' own zips set it
      entry.compress_type = zipfile.ZIP_DEFLATED
      with open(path, "rb") as f:
        archive.writestr(entry, f.read(), compresslevel=9)
  os.replace(partial, args.zip)

  sums = [(sha256(args.zip), os.path.basename(args.zip))]
  sums += [(sha256(path), name + "/" + os.path.basename(path))
           for path in staged[:len(args.program)]]
  with open(os.path.join(out_dir, "SHA256SUMS"), "w", newline="\n") as f:
    f.writelines("%s  %s\n" % entry for entry in sums)
  return 0


if __name__ == "__main__":
  sys.exit(main())
