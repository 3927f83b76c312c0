#!/bin/bash
# Reads every include of the project's own code under ROOT and fails on one
# that points up a layer, or across into another folder of the same layer (one
# program into another), naming the file and line. The tests are left out:
# they may use any layer.
#   check_layers.sh ROOT
set -eu
root=${1:?usage: check_layers.sh ROOT}

# The folders bottom to top; a folder may include only from folders of a
# lower rank, and from itself.
declare -A rank=(
  [base]=0
  [assets]=1
  [render]=2 [audio]=2
  [scenes]=3
  [runtime]=4
  [window]=5
  [live]=6 [capture]=6 [web]=6
  [tools]=7
  [bench]=8
)

cd "$root"
wrong=0
while IFS= read -r file; do
  from=${file%%/*}
  if [ -z "${rank[$from]+set}" ]; then
    echo "$file: in a folder that has no layer; add it to the table in $0"
    wrong=$((wrong + 1))
    continue
  fi
  while IFS=: read -r line folder; do
    if [ -z "${rank[$folder]+set}" ]; then
      echo "$file:$line: includes from $folder/, which is not a layer"
    elif [ "$folder" != "$from" ] && [ "${rank[$folder]}" -ge "${rank[$from]}" ]; then
      echo "$file:$line: $from/ includes from $folder/, which is not below it"
    else
      continue
    fi
    wrong=$((wrong + 1))
  done < <(grep -n -E '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^"/]+/' "$file" |
           sed -E 's|^([0-9]+):[^"]*"([^"/]+)/.*|\1:\2|')
done < <(find . \( -path ./.git -o -path './build*' -o -path ./tests -o -name node_modules \) -prune \
           -o -type f \( -name '*.h' -o -name '*.cpp' \) -print | sed 's|^\./||' | sort)

if [ "$wrong" -ne 0 ]; then
  echo "$wrong includes point the wrong way"
  exit 1
fi
echo "every include points down a layer"
