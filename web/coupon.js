// The row just drawn as a pools coupon: thirteen matches, a box each for 1, X
// and 2, the covered ones marked, and in the caption the single rows the
// system holds. It is read from the program's own output, its lines
// "Tipsmatch N: MARK": each fills match N as it comes, and match 1 begins a
// new row. The console's text is not touched.
const OUTCOMES = ["1", "x", "2"];

// Makes `table` (a <table> with a <caption> and an empty <tbody>) the coupon;
// returns read(text), to be given the program's output as it comes, and
// clear(), for a new run of the program.
export function couponOf(table) {
  const body = table.tBodies[0];
  for (let match = 1; match <= 13; ++match) {
    const row = body.insertRow();
    const header = row.appendChild(document.createElement("th"));
    header.scope = "row";
    header.textContent = match;
    header.setAttribute("aria-label", `Match ${match}`);
    for (const outcome of OUTCOMES) row.insertCell().dataset.outcome = outcome;
  }
  let partial = "";
  let covered = [];  // outcomes per match drawn in this row

  function mark(match, outcomes) {
    if (match === 1) {
      covered = [];
      for (const cell of body.querySelectorAll("td")) cell.textContent = "";
    }
    covered[match - 1] = outcomes.length;
    for (const cell of body.rows[match - 1].querySelectorAll("td")) {
      cell.textContent = outcomes.includes(cell.dataset.outcome) ? cell.dataset.outcome.toUpperCase() : "";
    }
    const rows = covered.reduce((product, count) => product * count, 1);
    table.caption.textContent = `${String(rows).replace(/\B(?=(\d{3})+$)/g, " ")} ${rows === 1 ? "rad" : "rader"}`;
    table.hidden = false;
  }

  return {
    read(text) {
      const lines = (partial + text).split("\n");
      partial = lines.pop();
      for (const line of lines) {
        const found = /^Tipsmatch (\d+): +([1x2]{1,3})$/.exec(line);
        const match = Number(found?.[1]);
        if (match >= 1 && match <= 13) mark(match, found[2]);
      }
    },
    clear() {
      partial = "";
      covered = [];
      table.hidden = true;
    },
  };
}
