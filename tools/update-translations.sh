#!/usr/bin/env bash
# Brings the shipped translations up to date with the texts of the program: collects every
# text marked for translation in the sources and every text of the designer forms into
# language/translations/quenmar_<locale>.ts, keeping the translations already written and
# dropping the texts the program no longer has. Run it from anywhere after changing texts,
# then translate the new (unfinished) messages with linguist and commit the .ts file.
#
#   tools/update-translations.sh            every shipped language
#   tools/update-translations.sh zh_CN      one language
set -euo pipefail
cd "$(dirname "$0")/.."
LUPDATE=${LUPDATE:-/usr/lib/qt6/bin/lupdate}
if [[ ! -x $LUPDATE ]]; then
  echo "lupdate not found at $LUPDATE (Debian package qt6-l10n-tools)" >&2
  exit 1
fi
sources=(app cards data language operators oplog pms print setup staffcards stays ui)
locales=("$@")
if ((${#locales[@]} == 0)); then
  locales=(zh_CN)
fi
for locale in "${locales[@]}"; do
  "$LUPDATE" -silent -locations none -no-obsolete -extensions cpp,h,ui \
    -source-language en_US -target-language "$locale" \
    "${sources[@]}" -ts "language/translations/quenmar_${locale}.ts"
done
