// The player's coupons, newest first: every row the program prints, as a
// pools coupon of thirteen matches with a box each for 1, X and 2, the
// covered ones marked. They are read from the program's own output, its lines
// "Tipsmatch N: MARK", and kept in the browser (localStorage), shared by its
// tabs, across reloads and restarts: the newest 100, numbered from 1 since the
// list was last emptied. Where the browser keeps nothing the page still shows
// them. The console's text is not touched.
const OUTCOMES = ["1", "x", "2"];
const KEY = "tipsrad-coupons";
const MOST = 100;
const LINE = /^Tipsmatch (\d+): +([1x2]{1,3})$/;

// "Kupong 3 · 8 192 rader": the number and the single rows the coupon holds.
function caption(coupon) {
  const marks = coupon.lines.map((line) => LINE.exec(line)[2]);
  const rows = marks.reduce((product, mark) => product * mark.length, 1);
  const grouped = String(rows).replace(/\B(?=(\d{3})+$)/g, " ");
  return `Kupong ${coupon.number} · ${grouped} ${rows === 1 ? "rad" : "rader"}`;
}

// Whether `data` reads as a kept list: coupons numbered below the next
// number, newest first, each the 13 lines of a row.
function readable(data) {
  const { next, coupons } = data ?? {};
  return Number.isInteger(next) && Array.isArray(coupons) && coupons.length <= MOST &&
    coupons.every((coupon, i) => Number.isInteger(coupon?.number) && coupon.number < next &&
      (i === 0 || coupon.number < coupons[i - 1].number) && Array.isArray(coupon.lines) &&
      coupon.lines.length === 13 &&
      coupon.lines.every((line, match) => Number(LINE.exec(line)?.[1]) === match + 1));
}

// Makes `section` (#coupons: a button#clear and an <ol>) the player's list,
// each coupon made from `template`; `say(text)` tells the player something.
// Returns read(text), to be given the program's output as it comes, and
// restart(), for a new run of the program.
export function couponsOf(section, template, say) {
  const list = section.querySelector("ol");
  let storage = null;
  let kept = { next: 1, coupons: [] };
  let partial = "";
  let row = [];

  // Where the browser keeps nothing, or stops keeping (its quota full), the
  // page keeps the list itself, for as long as it is open.
  function unkept() {
    if (storage) say("Kupongerna sparas inte i den här webbläsaren.");
    storage = null;
  }
  function load() {
    if (!storage) return;
    const text = storage.getItem(KEY);
    let data = { next: 1, coupons: [] };
    if (text === null) {
      kept = data;
      return;
    }
    try {
      data = JSON.parse(text);
    } catch {
      data = null;
    }
    if (readable(data)) {
      kept = data;
      return;
    }
    storage.removeItem(KEY);
    kept = { next: 1, coupons: [] };
    say("Sparade kuponger som inte gick att läsa har tagits bort.");
  }
  // Changes the list as it stands in the store, which another tab may have
  // changed since, and shows it.
  function change(edit) {
    try {
      load();
      edit(kept);
      if (kept.coupons.length === 0) kept.next = 1;
      storage?.setItem(KEY, JSON.stringify(kept));
    } catch {
      unkept();
    }
    show();
  }

  // Each coupon is made once, and kept while the list holds it.
  let made = new Map();
  function show() {
    const making = new Map(kept.coupons.map((coupon) => {
      const key = [coupon.number, ...coupon.lines].join("\n");
      return [key, made.get(key) ?? element(coupon)];
    }));
    list.replaceChildren(...making.values());
    made = making;
    section.hidden = kept.coupons.length === 0;
  }
  function element(coupon) {
    const item = template.content.firstElementChild.cloneNode(true);
    const body = item.querySelector("tbody");
    item.querySelector("caption").textContent = caption(coupon);
    for (const line of coupon.lines) {
      const [, match, mark] = LINE.exec(line);
      const cells = body.insertRow();
      const header = cells.appendChild(document.createElement("th"));
      header.scope = "row";
      header.textContent = match;
      header.setAttribute("aria-label", `Match ${match}`);
      for (const outcome of OUTCOMES) {
        cells.insertCell().textContent = mark.includes(outcome) ? outcome.toUpperCase() : "";
      }
    }
    item.querySelector(".share").addEventListener("click", () => share(coupon));
    item.querySelector(".remove").addEventListener("click", () => change((list) => {
      list.coupons = list.coupons.filter((other) => other.number !== coupon.number);
    }));
    return item;
  }

  // The caption and the program's own lines, for a friend without the page:
  // the share sheet where the browser has one, else the clipboard.
  async function share(coupon) {
    const text = [caption(coupon), ...coupon.lines].join("\n");
    if (navigator.share) {
      await navigator.share({ text }).catch(() => {});
      return;
    }
    try {
      await navigator.clipboard.writeText(text);
      say(`Kupong ${coupon.number} är kopierad.`);
    } catch {
      say("Kupongen kunde inte kopieras.");
    }
  }

  try {
    storage = localStorage;
    load();
  } catch {
    storage = null;
  }
  if (!storage) say("Kupongerna sparas inte i den här webbläsaren.");
  show();
  addEventListener("storage", (event) => {
    if (event.key !== KEY && event.key !== null) return;
    load();
    show();
  });
  section.querySelector("#clear").addEventListener("click", () => {
    if (confirm("Ta bort alla kuponger?")) change((list) => { list.coupons = []; });
  });

  return {
    read(text) {
      const lines = (partial + text).split("\n");
      partial = lines.pop();
      for (const line of lines) {
        const match = Number(LINE.exec(line)?.[1]);
        if (match === 1) row = [];
        if (match !== row.length + 1) continue;
        row.push(line);
        if (match < 13) continue;
        change((list) => {
          list.coupons.unshift({ number: list.next, lines: row });
          list.coupons.splice(MOST);
          list.next += 1;
        });
      }
    },
    restart() {
      partial = "";
      row = [];
    },
  };
}
