#!/bin/bash
# The man page of vellumarctl names every command and option (in roff, "-" is written "\-").
page=$1
fail=0
for word in create list eject sync mem swap --size --name --mount --kind --keep --remember \
    --remembered --force --json --help --version memory compressed block memoryUsed \
    compressionRatio keptFolder lastSave; do
    roff=${word//-/\\-}
    if ! grep -qF -- "$roff" "$page"; then
        echo "FAIL: the man page does not name $word"
        fail=1
    fi
done
[ "$fail" = 0 ] && echo "man page: every command and option named"
exit $fail
