#!/usr/bin/env python3
"""Regenerates the game's word lists in resources/words/.

words.txt      the dictionary: the words of the npm package word-list 4.1.0 (MIT),
               exactly as the package ships them; the build turns it into records.
dealwords.txt  the 12,970 ten-letter words the host deals from, alphabetical.
               Chosen for familiarity from Debian's scowl package: every ten-letter
               word of sizes 10 to 60 that the dictionary has, topped up from size 70
               with a selection spread evenly over the alphabet.
familiarity.txt
               how common each dictionary word of up to ten letters is, for the
               computer players: under a line "size N" the words that first appear
               in SCOWL's lists at size N (10 commonest .. 95 rarest), alphabetical.
               A word listed under no size is rarer than all of them.

Needs npm (to fetch the package) and the Debian package scowl.
Usage: tools/make_wordlists.py [--tarball word-list-4.1.0.tgz]
"""
import argparse
import pathlib
import shutil
import subprocess
import tarfile
import tempfile

PACKAGE = "word-list@4.1.0"
DICTIONARY_WORDS = 274_137
DEAL_WORDS = 12_970
SCOWL = pathlib.Path("/usr/share/dict/scowl")
FAMILIAR_SIZES = (10, 20, 35, 40, 50, 55, 60)
RANKED_SIZES = (10, 20, 35, 40, 50, 55, 60, 70, 80, 95)
LONGEST_RANKED = 10  # the computer players' words fit a rack
TOP_UP_SIZE = 70
OUT = pathlib.Path(__file__).resolve().parent.parent / "resources" / "words"


def fetch_tarball(workdir: pathlib.Path) -> pathlib.Path:
    subprocess.run(["npm", "pack", PACKAGE, "--silent"], cwd=workdir, check=True,
                   stdout=subprocess.DEVNULL)
    return next(workdir.glob("word-list-*.tgz"))


def unpack(tarball: pathlib.Path, workdir: pathlib.Path) -> pathlib.Path:
    with tarfile.open(tarball) as archive:
        archive.extractall(workdir, filter="data")
    return workdir / "package"


def ten_letter_words(size: int) -> set[str]:
    text = (SCOWL / f"english-words.{size}").read_text(encoding="latin-1")
    return {w for w in text.split() if len(w) == 10 and w.isascii() and w.isalpha() and w.islower()}


def scowl_words(size: int) -> set[str]:
    words = set()
    for kind in ("english-words", "american-words"):
        path = SCOWL / f"{kind}.{size}"
        if path.exists():
            words |= set(path.read_text(encoding="latin-1").split())
    return words


def familiarity(dictionary: set[str]) -> str:
    """The size at which each dictionary word first appears in SCOWL, smallest first."""
    candidates = {w for w in dictionary if len(w) <= LONGEST_RANKED}
    lines = ["# The dictionary's words by how common they are: SCOWL sizes, made by tools/make_wordlists.py"]
    for size in RANKED_SIZES:
        found = sorted(scowl_words(size) & candidates)
        candidates -= set(found)
        lines.append(f"size {size}")
        lines.extend(found)
    return "\n".join(lines) + "\n"


def spread(words: list[str], count: int) -> list[str]:
    """Picks `count` words at evenly spaced places, so every letter of the alphabet keeps its share."""
    return [words[i * len(words) // count] for i in range(count)]


def deal_words(dictionary: set[str]) -> list[str]:
    familiar = set().union(*(ten_letter_words(s) for s in FAMILIAR_SIZES)) & dictionary
    if len(familiar) > DEAL_WORDS:
        raise SystemExit(f"{len(familiar)} familiar words: more than {DEAL_WORDS}")
    extra = sorted((ten_letter_words(TOP_UP_SIZE) & dictionary) - familiar)
    needed = DEAL_WORDS - len(familiar)
    if len(extra) < needed:
        raise SystemExit(f"only {len(extra)} words to top up with, {needed} needed")
    return sorted(familiar | set(spread(extra, needed)))


def main() -> None:
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--tarball", type=pathlib.Path, help="a word-list 4.1.0 tarball already at hand")
    args = parser.parse_args()
    with tempfile.TemporaryDirectory() as tmp:
        workdir = pathlib.Path(tmp)
        package = unpack(args.tarball or fetch_tarball(workdir), workdir)
        words = (package / "words.txt").read_text(encoding="ascii").split()
        if len(words) != DICTIONARY_WORDS:
            raise SystemExit(f"expected {DICTIONARY_WORDS} words, found {len(words)}")
        OUT.mkdir(parents=True, exist_ok=True)
        shutil.copyfile(package / "words.txt", OUT / "words.txt")
        shutil.copyfile(package / "license", OUT / "words.LICENSE")
    deal = deal_words(set(words))
    (OUT / "dealwords.txt").write_text("\n".join(deal) + "\n", encoding="ascii")
    (OUT / "familiarity.txt").write_text(familiarity(set(words)), encoding="ascii")
    # Both follow SCOWL's sizes, so its notice goes with them.
    shutil.copyfile("/usr/share/doc/scowl/copyright", OUT / "dealwords.LICENSE")
    shutil.copyfile("/usr/share/doc/scowl/copyright", OUT / "familiarity.LICENSE")
    print(f"{len(words)} dictionary words, {len(deal)} deal words ({deal[0]} .. {deal[-1]})")


if __name__ == "__main__":
    main()
