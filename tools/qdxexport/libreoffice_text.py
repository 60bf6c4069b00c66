# A document as LibreOffice reads it: converted to UTF-8 text in a profile of
# its own under WORK_DIR. None when LibreOffice is not installed.
import shutil
import subprocess
import sys


def read_as_text(document, work):
    if shutil.which("soffice") is None:
        return None
    subprocess.run(["soffice", "-env:UserInstallation=file://" + work + "/profile", "--headless", "--convert-to",
                    "txt:Text:UTF8", "--outdir", work + "/txt", document], check=True, capture_output=True)
    name = document.rsplit("/", 1)[-1].rsplit(".", 1)[0]
    with open(f"{work}/txt/{name}.txt", encoding="utf-8-sig") as f:
        return f.read()


def read_or_skip(document, work):
    """The text; without LibreOffice the check says so and ends as passed."""
    text = read_as_text(document, work)
    if text is None:
        print("LibreOffice is not installed: skipped")
        sys.exit(0)
    return text
