// The rules the eslint log is made with: no configuration is looked up.
module.exports = [
  {
    files: ["**/*.js"],
    rules: { "no-unused-vars": "error", "no-var": "warn", eqeqeq: "error", semi: "warn" },
  },
];
