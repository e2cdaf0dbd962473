#!/usr/bin/python3
"""Writes the sample documents of resources/Samples from the content below.

The texts are Corvanel's own. Each document is written as HTML and converted once with
LibreOffice (soffice --headless) into the format it demonstrates; the results are committed, so
building never needs LibreOffice. Run it again after changing the content:

    python3 scripts/make-samples.py
"""

import pathlib
import re
import shutil
import subprocess
import tempfile

WELCOME = """
<h1>Welcome to Corvanel</h1>
<p>Corvanel turns a batch of word-processing documents into plain-text files, one text file
per document, without opening each one by hand.</p>
<p>What it reads:</p>
<ul>
<li>Word documents, old and new (DOC and DOCX)</li>
<li>Rich Text Format (RTF)</li>
<li>OpenDocument text (ODT) and plain text</li>
</ul>
<p>How to use it:</p>
<ol>
<li>Add documents to the list.</li>
<li>Choose the folder for the text files.</li>
<li>Press Start Exporting To Text.</li>
</ol>
<p>Each text file takes the name of its document, with the extension txt.</p>
"""

GARDEN = """
<h1>Garden Planner</h1>
<p>A small vegetable plot needs little more than sun, water and a plan. This table shows
when to sow and when to pick.</p>
<table border="1">
<tr><th>Vegetable</th><th>Sow</th><th>Harvest</th></tr>
<tr><td>Tomatoes</td><td>March</td><td>July to September</td></tr>
<tr><td>Runner beans</td><td>May</td><td>August</td></tr>
<tr><td>Carrots</td><td>April</td><td>June to October</td></tr>
<tr><td>Lettuce</td><td>Every three weeks</td><td>All summer</td></tr>
</table>
<p>Water in the evening, when the soil stays damp for longer.</p>
"""

TARTE = """
<h1>Tarte aux pommes de grand-mère</h1>
<p>Une recette simple pour six personnes, prête en une heure.</p>
<p>Ingrédients :</p>
<ul>
<li>une pâte brisée</li>
<li>six pommes reinettes</li>
<li>deux cuillères de crème fraîche</li>
<li>quarante grammes de sucre et un peu de beurre demi-sel</li>
</ul>
<p>Préparation :</p>
<ol>
<li>Préchauffez le four à 180 °C.</li>
<li>Épluchez les pommes et coupez-les en lamelles très fines.</li>
<li>Disposez-les en rosace, ajoutez la crème et le sucre, puis faites cuire quarante minutes.</li>
</ol>
<p>Servez tiède, avec un café noir. Bon appétit !</p>
"""

GREETINGS = """
<h1>Greetings in three alphabets</h1>
<p>The same friendly words in English, Greek and Russian.</p>
<table border="1">
<tr><th>English</th><th>Ελληνικά</th><th>Русский</th></tr>
<tr><td>Good morning</td><td>Καλημέρα</td><td>Доброе утро</td></tr>
<tr><td>Thank you</td><td>Ευχαριστώ</td><td>Спасибо</td></tr>
<tr><td>Good night</td><td>Καληνύχτα</td><td>Спокойной ночи</td></tr>
</table>
<p>Καλή αρχή! Удачи!</p>
"""

READING_NOTES = """Reading Notes

A plain-text file is already text: Corvanel copies it as it is, in UTF-8.

- Keep one idea per line.
- Leave a blank line between topics.
- Accents and other scripts travel unchanged: café, naïve, Ωμέγα, Привет.
"""

# file name -> (LibreOffice export filter, HTML body)
DOCUMENTS = {
    "Welcome to Corvanel.docx": ("docx:MS Word 2007 XML", WELCOME),
    "Garden Planner.odt": ("odt:writer8", GARDEN),
    "Tarte aux pommes.rtf": ("rtf:Rich Text Format", TARTE),
    "Greetings.doc": ("doc:MS Word 97", GREETINGS),
}


def convert(soffice, work, name, export_filter, body):
    stem = pathlib.Path(name).stem
    source = work / f"{stem}.html"
    # Line breaks between tags would become spaces at the ends of list items and cells.
    body = re.sub(r">\s+<", "><", body.strip())
    source.write_text(
        "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>"
        f"{stem}</title></head><body>{body}</body></html>",
        encoding="utf-8")
    subprocess.run(
        [soffice, "--headless", "--norestore", "--infilter=HTML (StarWriter)",
         "--convert-to", export_filter, "--outdir", str(work), str(source)],
        check=True, stdout=subprocess.DEVNULL)
    return work / f"{stem}.{export_filter.split(':')[0]}"


def main():
    soffice = shutil.which("soffice")
    if soffice is None:
        raise SystemExit("make-samples: soffice (LibreOffice) is needed to write the samples")
    samples = pathlib.Path(__file__).resolve().parent.parent / "resources" / "Samples"
    samples.mkdir(parents=True, exist_ok=True)
    with tempfile.TemporaryDirectory() as temp:
        work = pathlib.Path(temp)
        for name, (export_filter, body) in DOCUMENTS.items():
            shutil.copyfile(convert(soffice, work, name, export_filter, body), samples / name)
    (samples / "Reading Notes.txt").write_text(READING_NOTES, encoding="utf-8")


if __name__ == "__main__":
    main()
