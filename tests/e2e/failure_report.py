"""A failure that escapes an event handler: a test build of Quimbro.exe whose pump fails when
Start is pressed shows the failure's text over its window and ends with a non-zero exit code."""
import os

# The text that the test build's pump fails with.
FAILURE_TEXT = "The window's pump failed (Größe 1½ €)."


def case(checks, wine, quimbro, window, work):
    process = wine.start(os.environ["QUIMBRO_FAILING"])
    ready = window.wait(lambda s: s.ready, 60)
    window.click(ready, "Start")

    # The probe reads the top window captioned "Vantorel Quimbro": now the message box.
    box = window.wait(lambda s: any(c["text"] == "OK" and c["visible"] for c in s.controls), 60)
    checks.equal("failure shown", [c["text"] for c in box.controls
                                   if c["class"] == "Static" and c["text"]], [FAILURE_TEXT])
    checks.true("program waits for the box to be read", process.poll() is None)
    window.click(box, "OK")
    code = process.wait(timeout=60)
    checks.true(f"program ended with a failure code (got {code})", code != 0)
