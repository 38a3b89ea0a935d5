"""A local RFC 3161 time-stamp authority for the signing test: every POST
is answered by `openssl ts -reply` with the test's TSA certificate.
usage: tsa.py CONFIG PORT-FILE; writes the port it listens on to PORT-FILE."""
import http.server
import subprocess
import sys
import tempfile

config, port_file = sys.argv[1], sys.argv[2]


class Reply(http.server.BaseHTTPRequestHandler):
    def do_POST(self):
        query = self.rfile.read(int(self.headers["Content-Length"]))
        with tempfile.NamedTemporaryFile() as q, tempfile.NamedTemporaryFile() as r:
            q.write(query)
            q.flush()
            subprocess.run(["openssl", "ts", "-reply", "-config", config, "-queryfile", q.name,
                            "-out", r.name], check=True, capture_output=True)
            reply = r.read()
        self.send_response(200)
        self.send_header("Content-Type", "application/timestamp-reply")
        self.send_header("Content-Length", str(len(reply)))
        self.end_headers()
        self.wfile.write(reply)

    def log_message(self, *args):
        pass


server = http.server.HTTPServer(("127.0.0.1", 0), Reply)
with open(port_file, "w") as f:
    f.write(str(server.server_port))
server.serve_forever()
