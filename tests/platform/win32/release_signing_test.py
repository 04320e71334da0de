#!/usr/bin/env python3
"""Signs the release zip's programs with a certificate made for the run and checks the signatures.

Makes a throwaway certificate authority with openssl, and under it a code-signing certificate and
a time-stamping one (nothing is kept); serves RFC 3161 time stamps on this machine with
`openssl ts -reply`; runs release_zip.py with SHIFTLET_SIGN_PKCS12, SHIFTLET_SIGN_PASSWORD_FILE
and SHIFTLET_SIGN_TIMESTAMP_URL as a release machine would; and checks that each program in the
zip verifies against that authority with osslsigncode, time stamp included, does not against
another one, and does not once one byte is changed; and that SHA256SUMS lists the signed programs.

  release_signing_test.py --release-zip release_zip.py --strip STRIP --source-dir DIR
                          --program EXE... [--file FILE]...
"""

import argparse
import hashlib
import http.server
import os
import re
import subprocess
import sys
import tempfile
import threading
import zipfile


def run(command, **kwargs):
  return subprocess.run(command, capture_output=True, text=True, **kwargs)


def check(condition, message):
  if not condition:
    print("release_signing_test.py: " + message, file=sys.stderr)
    sys.exit(1)


def make_authority(folder, name):
  """A self-signed certificate authority: its certificate and key files."""
  certificate = os.path.join(folder, name + ".pem")
  key = os.path.join(folder, name + ".key")
  subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2",
                  "-subj", "/CN=" + name, "-keyout", key, "-out", certificate,
                  "-addext", "basicConstraints=critical,CA:TRUE",
                  "-addext", "keyUsage=critical,keyCertSign,cRLSign"],
                 check=True, capture_output=True)
  return certificate, key


def issue(folder, name, authority, serial, usage):
  """A certificate for `usage` (an extended key usage) issued by `authority`: its file and its
  key's."""
  key = os.path.join(folder, usage + ".key")
  request = os.path.join(folder, usage + ".csr")
  certificate = os.path.join(folder, usage + ".pem")
  extensions = os.path.join(folder, usage + ".ext")
  with open(extensions, "w") as f:
    f.write("basicConstraints=CA:FALSE\nkeyUsage=critical,digitalSignature\n"
            "extendedKeyUsage=critical,%s\n" % usage)
  subprocess.run(["openssl", "req", "-newkey", "rsa:2048", "-nodes", "-subj", "/CN=" + name,
                  "-keyout", key, "-out", request], check=True, capture_output=True)
  subprocess.run(["openssl", "x509", "-req", "-in", request, "-CA", authority[0], "-CAkey",
                  authority[1], "-set_serial", str(serial), "-days", "2", "-extfile", extensions,
                  "-out", certificate], check=True, capture_output=True)
  return certificate, key


def make_signer(folder, authority, password_file):
  """A code-signing certificate issued by `authority`, with its key and the authority's
  certificate, in a password-protected .pfx."""
  certificate, key = issue(folder, "Shiftlet Test Publisher", authority, 2, "codeSigning")
  pfx = os.path.join(folder, "signer.pfx")
  subprocess.run(["openssl", "pkcs12", "-export", "-inkey", key, "-in", certificate,
                  "-certfile", authority[0], "-passout", "file:" + password_file, "-out", pfx],
                 check=True, capture_output=True)
  return pfx


def serve_time_stamps(folder, authority):
  """An RFC 3161 time-stamping service on this machine, answered by `openssl ts -reply` with a
  certificate issued by `authority`: the running server."""
  certificate, key = issue(folder, "Shiftlet Test Time Stamps", authority, 3, "timeStamping")
  config = os.path.join(folder, "tsa.cnf")
  with open(os.path.join(folder, "tsa.serial"), "w") as f:
    f.write("01\n")
  with open(config, "w") as f:
    f.write("[tsa]\ndefault_tsa = here\n[here]\nserial = %s\nsigner_cert = %s\n"
            "signer_key = %s\ncerts = %s\nsigner_digest = sha256\ndefault_policy = 1.2.3.4.1\n"
            "digests = sha256\naccuracy = secs:1\ness_cert_id_alg = sha256\n" %
            (os.path.join(folder, "tsa.serial"), certificate, key, authority[0]))

  class TimeStamps(http.server.BaseHTTPRequestHandler):
    def do_POST(self):
      query = self.rfile.read(int(self.headers["Content-Length"]))
      answer = subprocess.run(["openssl", "ts", "-reply", "-config", config, "-queryfile",
                               "/dev/stdin", "-out", "/dev/stdout"],
                              input=query, capture_output=True).stdout
      self.send_response(200 if answer else 500)
      self.send_header("Content-Type", "application/timestamp-reply")
      self.send_header("Content-Length", str(len(answer)))
      self.end_headers()
      self.wfile.write(answer)

    def log_message(self, *args):
      pass

  server = http.server.HTTPServer(("127.0.0.1", 0), TimeStamps)
  threading.Thread(target=server.serve_forever, daemon=True).start()
  return server


def verify(program, authority_certificate):
  return run(["osslsigncode", "verify", "-in", program, "-CAfile", authority_certificate,
              "-TSA-CAfile", authority_certificate])


def main():
  parser = argparse.ArgumentParser()
  parser.add_argument("--release-zip", required=True)
  parser.add_argument("--strip", required=True)
  parser.add_argument("--source-dir", required=True)
  parser.add_argument("--program", action="append", required=True)
  parser.add_argument("--file", action="append", default=[])
  args = parser.parse_args()

  with tempfile.TemporaryDirectory() as folder:
    password_file = os.path.join(folder, "password")
    with open(password_file, "w") as f:
      f.write("throwaway password\n")
    authority = make_authority(folder, "Shiftlet Test CA")
    other_authority = make_authority(folder, "Someone Else's CA")
    pfx = make_signer(folder, authority, password_file)
    time_stamps = serve_time_stamps(folder, authority)

    out = os.path.join(folder, "out")
    os.makedirs(out)
    zip_path = os.path.join(out, "Shiftlet-test.zip")
    env = dict(os.environ, SHIFTLET_SIGN_PKCS12=pfx, SHIFTLET_SIGN_PASSWORD_FILE=password_file,
               SHIFTLET_SIGN_TIMESTAMP_URL="http://127.0.0.1:%d/" % time_stamps.server_port)
    command = [sys.executable, args.release_zip, "--zip", zip_path, "--strip", args.strip,
               "--source-dir", args.source_dir]
    for program in args.program:
      command += ["--program", program]
    for extra in args.file:
      command += ["--file", extra]
    made = run(command, env=env)
    time_stamps.shutdown()
    check(made.returncode == 0, "release_zip.py failed to sign: %s" % made.stderr)

    unpacked = os.path.join(folder, "unpacked")
    with zipfile.ZipFile(zip_path) as archive:
      archive.extractall(unpacked)
    with open(os.path.join(out, "SHA256SUMS")) as f:
      sums = {name.split("/")[-1]: digest for digest, name in
              (line.split("  ", 1) for line in f.read().splitlines())}

    for name in (os.path.basename(program) for program in args.program):
      shipped = os.path.join(unpacked, name)
      good = verify(shipped, authority[0])
      check(good.returncode == 0, "%s does not verify: %s%s" % (name, good.stdout, good.stderr))
      check(re.search(r"digest algorithm\s*:\s*SHA256", good.stdout, re.I),
            "%s is not signed with SHA-256: %s" % (name, good.stdout))
      check("Shiftlet Test Publisher" in good.stdout,
            "%s does not name its publisher: %s" % (name, good.stdout))
      check("Timestamp Server Signature verification: ok" in good.stdout,
            "%s has no time stamp: %s" % (name, good.stdout))
      with open(shipped, "rb") as f:
        image = bytearray(f.read())
      check(sums.get(name) == hashlib.sha256(image).hexdigest(),
            "SHA256SUMS does not list the signed %s" % name)

      stranger = verify(shipped, other_authority[0])
      check(stranger.returncode != 0, "%s verifies against another authority" % name)

      # One byte of the code, well inside what the signature covers.
      image[len(image) // 3] ^= 0x01
      changed = os.path.join(folder, "changed-" + name)
      with open(changed, "wb") as f:
        f.write(image)
      tampered = verify(changed, authority[0])
      check(tampered.returncode != 0, "%s verifies with one byte changed" % name)
  print("release_signing_test.py: %s signed, time-stamped, verified, and refused when changed" %
        ", ".join(os.path.basename(program) for program in args.program))
  return 0


if __name__ == "__main__":
  sys.exit(main())
